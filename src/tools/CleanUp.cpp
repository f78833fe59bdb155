#include "tools/CleanUp.h"

#include "textprep/StringRoutines.h"

#include <algorithm>

namespace vocalix::tools {
namespace {

using textprep::ReplaceAll;

// Stands in for a protected line break; three code-3 characters do not occur in texts.
constexpr std::string_view kMark = "\x03\x03\x03";

std::string ReplaceChar(std::string_view text, char from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == from)
            out += to;
        else
            out += c;
    }
    return out;
}

// A letter before a hyphen makes it a word hyphenation: Latin, Ё, ё and А-я.
bool IsBreakLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == 0xA8 || u == 0xB8 || u >= 0xC0;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string TabToSpace(std::string_view text) {
    return ReplaceChar(text, '\t', "    ");
}

std::string NbspToSpace(std::string_view text) {
    return ReplaceChar(text, '\xA0', " ");
}

std::string QuotesSimple(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u == 0x84 || u == 0x93 || u == 0xAB || u == 0xBB)
            c = '"';
    }
    return out;
}

std::string TireToMinus(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\x96' || c == '\x97')
            c = '-';
    return out;
}

std::string MtSimple(std::string_view text) {
    return ReplaceChar(text, '\x85', "...");
}

std::string ParagToLine(std::string_view text) {
    std::string out = ReplaceAll(text, "\r\n ", kMark);
    out = ReplaceAll(out, "\r\n", " ");
    return ReplaceAll(out, kMark, "\r\n ");
}

std::string DeleSpaces(std::string_view text, int parag) {
    const std::string marked = ReplaceAll(text, "\r\n ", kMark);
    std::string collapsed;
    collapsed.reserve(marked.size());
    for (const char c : marked)
        if (c != ' ' || collapsed.empty() || collapsed.back() != ' ')
            collapsed += c;
    // With no indent configured the break gets no indent rather than a negative one.
    const std::string indent(static_cast<size_t>(std::max(0, parag - 1)), ' ');
    return ReplaceAll(collapsed, kMark, "\r\n" + indent);
}

std::string DeleEmptyLines(std::string_view text) {
    auto breaks = [](int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += "\r\n";
        return s;
    };
    const std::string nine = breaks(9), five = breaks(5), four = breaks(4), three = breaks(3);
    std::string out(text);
    for (int round = 0; round < 2; ++round) {
        out = ReplaceAll(out, nine, three);
        out = ReplaceAll(out, five, three);
        out = ReplaceAll(out, four, three);
    }
    return out;
}

std::string DeleBreaks(std::string_view in, const ProgressHooks& hooks) {
    // The result is built as the scan goes: `out` holds the new text for in[0, copied).
    std::string out;
    out.reserve(in.size());
    size_t copied = 0;
    size_t pos = 0;
    size_t steps = 0;
    hooks.Max(in.size());
    for (;;) {
        const size_t h = in.find('-', pos);
        if (h == std::string_view::npos)
            break;
        pos = h + 1;
        const bool atTextStart = h == copied && out.empty();
        const char before = h > copied ? in[h - 1] : (out.empty() ? '\0' : out.back());
        if (!atTextStart && !IsBreakLetter(before))
            continue;
        const size_t crlf = in.find("\r\n", h + 1);
        if (crlf == std::string_view::npos)
            break;
        if (!std::all_of(in.begin() + static_cast<long>(h + 1),
                         in.begin() + static_cast<long>(crlf), IsBlank))
            continue;
        // Join: the hyphen, the blanks after it, the break and the next line's indent go.
        out.append(in.substr(copied, h - copied));
        size_t j = crlf + 2;
        while (j < in.size() && in[j] == ' ')
            ++j;
        copied = j;
        pos = j;
        const size_t space = in.find(' ', j);
        if (space == std::string_view::npos)
            break;
        const size_t nextBreak = in.find("\r\n", j);
        if (space < nextBreak) {
            out.append(in.substr(j, space - j));
            out += "\r\n";
            copied = space + 1;
            pos = space + 1;
        }
        if (++steps % 64 == 0)
            hooks.Step(pos);
    }
    out.append(in.substr(copied));
    return out;
}

} // namespace vocalix::tools
