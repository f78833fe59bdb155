#include "tools/TypingAssist.h"

#include "textprep/StringRoutines.h"

#include <algorithm>

namespace vocalix::tools {
namespace {

bool IsSentenceEnd(char c) {
    return c == '!' || c == '.' || c == '?' || c == '\x85';
}

bool IsBreakOrSpace(char c) {
    return c == '\r' || c == '\n' || c == ' ';
}

} // namespace

void AutoReplaceChar(TypingText& text, int kind, int parag) {
    const int p = text.Caret();
    // The character replaced must still be the one typed: after the caret was moved with the
    // keyboard or the mouse the text before it is left alone.
    auto replaceBefore = [&](char expected, const char* replacement) {
        if (p < 1 || text.CharAt(p - 1) != expected)
            return;
        text.Replace(p - 1, 1, replacement);
        text.SetCaret(p);
    };
    switch (kind) {
    case 1:
        replaceBefore('-', "\x96");
        break;
    case 2:
        replaceBefore('"', "\xAB");
        break;
    case 3:
        if (p >= 1 && text.CharAt(p - 1) == '\xAB')
            replaceBefore('\xAB', "\xBB");
        else
            replaceBefore('"', "\xBB");
        break;
    case 4:
        if (p >= 3 && text.CharAt(p - 3) == '.' && text.CharAt(p - 2) == '.' &&
            text.CharAt(p - 1) == '.') {
            text.Replace(p - 3, 3, "\x85");
            text.SetCaret(p - 2);
        }
        break;
    case 5:
        if (p >= 2 && text.CharAt(p - 2) == '\r' && text.CharAt(p - 1) == '\n') {
            const int spaces = std::max(0, parag - 1);
            text.Replace(p - 2, 2, "\r\n" + std::string(static_cast<size_t>(spaces), ' '));
            text.SetCaret(p + spaces);
        }
        break;
    default:
        break;
    }
}

void AutoCapitalize(TypingText& text) {
    const int p = text.Caret();
    int start = p;
    while (start > 0 && !IsBreakOrSpace(text.CharAt(start - 1)))
        --start;
    if (start == p)
        return;
    std::string word;
    for (int i = start; i < p; ++i)
        word += text.CharAt(i);
    if (textprep::StartsWithCapital(word))
        return;
    int before = start - 1;
    while (before >= 0 && IsBreakOrSpace(text.CharAt(before)))
        --before;
    if (before >= 0 && !IsSentenceEnd(text.CharAt(before)))
        return;
    const std::string capital = textprep::CapitalizeFirstLetter(word);
    if (capital == word)
        return;
    text.Replace(start, p - start, capital);
    text.SetCaret(p);
}

std::string TypedPieceToSpeak(const TypingText& text, const TypingSettings& settings) {
    const int p = text.Caret();
    int point = p; // the piece starts just after it; -1: at the text start
    if (settings.AutoAloudP) {
        --point;
        while (point >= 0 && !IsSentenceEnd(text.CharAt(point)))
            --point;
    }
    if (settings.AutoAloudA) {
        --point;
        while (point >= 1 && !((text.CharAt(point) == '\r' || text.CharAt(point) == ' ') &&
                               text.CharAt(point - 1) == '\n'))
            --point;
        if (point < 1)
            point = -1;
    }
    std::string piece = point < 0 ? " " : "";
    for (int i = std::max(point + 1, 0); i < p; ++i) {
        const char c = text.CharAt(i);
        piece += c == '\r' || c == '\n' ? ' ' : c;
    }
    if (textprep::TrimControls(piece).empty())
        return {};
    std::string out = piece;
    for (int i = 1; i < settings.AutoRepeat; ++i)
        out += " " + piece;
    return out;
}

void TypingKeyPress(TypingText& text, char c, char& lastKey, const TypingSettings& s,
                    const std::function<void(const std::string&)>& speak) {
    if (s.AutoCap && (c == '\r' || c == ' '))
        AutoCapitalize(text);
    if (s.AutoRepl && lastKey == '-' && c == ' ')
        AutoReplaceChar(text, 1, s.Parag);
    if (s.AutoRepl && lastKey == '"' && c != '\r' && c != ' ')
        AutoReplaceChar(text, 2, s.Parag);
    if (s.AutoRepl && lastKey == '"' && (c == '\r' || c == ' ' || c == '.'))
        AutoReplaceChar(text, 3, s.Parag);
    if (s.AutoRepl && lastKey == '.')
        AutoReplaceChar(text, 4, s.Parag);
    if (s.AutoParag && lastKey == '\r' && c == ' ')
        AutoReplaceChar(text, 5, s.Parag);
    const bool sentence = s.AutoAloud && s.AutoAloudP && (c == '!' || c == '.' || c == '?');
    const bool paragraph =
        s.AutoAloud && s.AutoAloudA && lastKey == '\r' && (c == '\r' || c == ' ');
    // Both can hold for one key; the piece is read once per condition, as each asks.
    for (const bool read : {sentence, paragraph}) {
        if (!read || !speak)
            continue;
        const std::string piece = TypedPieceToSpeak(text, s);
        if (!piece.empty())
            speak(piece);
    }
    lastKey = c;
}

} // namespace vocalix::tools
