#include "speech/StressMarks.h"

#include "base/Cp1251.h"
#include "speech/EspeakEngine.h"
#include "textprep/StringRoutines.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vocalix::speech {
namespace {

using base::IsCyrillicVowel;
using textprep::IsCyrillicLetter;

// eSpeak's Russian vowel phonemes ("@-" is a glide it puts between consonants, no syllable).
bool IsVowelPhoneme(std::string_view name) {
    static constexpr std::array<std::string_view, 20> kVowels = {
        "V",  "i", "A",  "y",   "a", "I",  "o",  "u",  "e",  "ja",
        "a#", "8", "ju", "u\"", "E", "E#", "u#", "I^", "E2", "@"};
    return std::find(kVowels.begin(), kVowels.end(), name) != kVowels.end();
}

// Where a syllable lies relative to the stress; reduction depends on it.
enum class Place { Stressed, JustBefore, FarBefore, After, Unknown };

Place PlaceOf(int syllable, int stressed) {
    if (stressed < 0)
        return Place::Unknown;
    if (syllable == stressed)
        return Place::Stressed;
    if (syllable == stressed - 1)
        return Place::JustBefore;
    return syllable < stressed ? Place::FarBefore : Place::After;
}

// What comes before a vowel letter decides how eSpeak writes it.
enum class Before { Start, Vowel, Sign, Hard, Soft, Consonant };

Before BeforeOf(std::string_view word, size_t at) {
    if (at == 0 || word[at - 1] == '-')
        return Before::Start;
    static const std::string hard = base::Cp("жшц"), soft = base::Cp("чщй"), signs = base::Cp("ьъ");
    const char c = word[at - 1];
    if (IsCyrillicVowel(c))
        return Before::Vowel;
    if (signs.find(c) != std::string::npos)
        return Before::Sign;
    if (hard.find(c) != std::string::npos)
        return Before::Hard;
    if (soft.find(c) != std::string::npos)
        return Before::Soft;
    return Before::Consonant;
}

// eSpeak's phoneme for a vowel letter at a place, as its own Russian rules give it (found by
// comparing its output over a large dictionary of stressed words); none for the letters whose
// phoneme does not depend on the stress (и у ы ю ё), which keep the phoneme eSpeak chose.
const char* VowelFor(char lowerLetter, Before before, Place place, bool last) {
    const std::string letter(1, lowerLetter);
    const bool stressed = place == Place::Stressed;
    if (letter == base::Cp("о"))
        return stressed ? "o" : "V";
    if (letter == base::Cp("э"))
        return stressed ? "E" : "E#";
    if (letter == base::Cp("е")) {
        if (before == Before::Hard)
            return stressed ? "E" : "y";
        if (stressed)
            return "e";
        if (before == Before::Start)
            return "I";
        return last && (before == Before::Vowel || before == Before::Sign) ? "I" : "i";
    }
    const bool ya = letter == base::Cp("я");
    if (ya && (before == Before::Start || before == Before::Vowel || before == Before::Sign))
        return "ja";
    if (ya || letter == base::Cp("а")) {
        switch (place) {
        case Place::Stressed:
            return "A";
        case Place::JustBefore:
            return "a";
        case Place::FarBefore:
            return before == Before::Start ? "a" : "V";
        default:
            return !ya && last && before != Before::Soft ? "a#" : "V";
        }
    }
    return nullptr;
}

struct Token {
    std::string name; // phoneme name without stress mark; " " between words
    char mark = 0;    // '\'' primary, ',' secondary stress, or 0
};

std::vector<Token> SplitPhonemes(std::string_view phonemes) {
    std::vector<Token> tokens;
    std::string current;
    auto flush = [&] {
        if (current.empty())
            return;
        Token t;
        size_t skip = 0;
        while (skip < current.size() && (current[skip] == '\'' || current[skip] == ','))
            t.mark = current[skip++];
        t.name = current.substr(skip);
        if (!t.name.empty())
            tokens.push_back(std::move(t));
        current.clear();
    };
    for (char c : phonemes) {
        if (c == '_' || c == ' ' || c == '\n') {
            flush();
            if (c == ' ' && !tokens.empty() && tokens.back().name != " ")
                tokens.push_back({" ", 0});
        } else {
            current += c;
        }
    }
    flush();
    while (!tokens.empty() && tokens.back().name == " ")
        tokens.pop_back();
    return tokens;
}

bool IsWordChar(std::string_view text, size_t at) {
    const char c = text[at];
    if (IsCyrillicLetter(c))
        return true;
    // A hyphen inside a word, and the stress mark before a vowel.
    if (c == '-')
        return at > 0 && at + 1 < text.size() && IsCyrillicLetter(text[at - 1]) &&
               (IsCyrillicLetter(text[at + 1]) || text[at + 1] == '+');
    return c == '+' && at + 1 < text.size() && IsCyrillicVowel(text[at + 1]);
}

// "+" that marks stress: before a Russian vowel, not after a digit or a Latin letter
// ("2+а" is arithmetic).
bool IsStressMark(std::string_view text, size_t at) {
    if (text[at] != '+' || at + 1 >= text.size() || !IsCyrillicVowel(text[at + 1]))
        return false;
    if (at == 0)
        return true;
    const auto prev = static_cast<unsigned char>(text[at - 1]);
    return !(prev < 0x80 && std::isalnum(prev));
}

} // namespace

int EngineText::SourceOffset(int character) const {
    if (source.empty() || character < 0)
        return character;
    if (static_cast<size_t>(character) >= source.size())
        return source.back() + 1 + (character - static_cast<int>(source.size()));
    return source[static_cast<size_t>(character)];
}

std::string Restress(std::string_view word, int stressed, std::string_view phonemes,
                     std::string_view separator) {
    std::vector<Token> tokens = SplitPhonemes(phonemes);
    const std::string lower = textprep::LowerCase(word);
    std::vector<size_t> letters; // vowel letters of the word
    std::vector<int> parts;      // the hyphen-separated part of each
    int part = 0;
    for (size_t i = 0; i < lower.size(); ++i) {
        if (lower[i] == '-')
            ++part;
        else if (IsCyrillicVowel(lower[i])) {
            letters.push_back(i);
            parts.push_back(part);
        }
    }
    std::vector<size_t> vowels; // their phonemes
    for (size_t t = 0; t < tokens.size(); ++t)
        if (IsVowelPhoneme(tokens[t].name))
            vowels.push_back(t);
    if (vowels.size() != letters.size() || stressed < 0 ||
        static_cast<size_t>(stressed) >= letters.size())
        return {};
    // Only the part that holds the new stress changes; eSpeak stresses each part of a
    // hyphenated word on its own.
    const int target = parts[static_cast<size_t>(stressed)];
    int first = -1, old = -1;
    for (size_t k = 0; k < letters.size(); ++k) {
        if (parts[k] != target)
            continue;
        if (first < 0)
            first = static_cast<int>(k);
        if (old < 0 && tokens[vowels[k]].mark == '\'')
            old = static_cast<int>(k);
    }
    if (old == stressed)
        return {};
    for (size_t k = 0; k < letters.size(); ++k) {
        if (parts[k] != target)
            continue;
        Token& t = tokens[vowels[k]];
        const int syllable = static_cast<int>(k) - first;
        const Place before = PlaceOf(syllable, old < 0 ? -1 : old - first);
        const Place after = PlaceOf(syllable, stressed - first);
        if (before != after) {
            const size_t at = letters[k];
            const bool last = at + 1 == lower.size() || lower[at + 1] == '-';
            const Before letterBefore = BeforeOf(lower, at);
            const char* was = VowelFor(lower[at], letterBefore, before, last);
            // eSpeak keeps some unstressed vowels full (radio-like loan words): such a vowel
            // keeps its phoneme unless it becomes the stressed one.
            const bool exception = was && before != Place::Unknown && t.name != was;
            const char* name = VowelFor(lower[at], letterBefore, after, last);
            if (name && (!exception || after == Place::Stressed))
                t.name = std::string(name);
        }
        if (after == Place::Stressed)
            t.mark = '\'';
        else if (t.mark == '\'')
            t.mark = 0;
    }
    std::string joined;
    for (size_t t = 0; t < tokens.size(); ++t) {
        if (t > 0 && tokens[t].name != " " && tokens[t - 1].name != " ")
            joined += separator;
        if (tokens[t].mark)
            joined += tokens[t].mark;
        joined += tokens[t].name;
    }
    return joined;
}

EngineText ApplyStressMarks(std::string_view text, const WordPhonemes& phonemes) {
    EngineText out;
    size_t scan = text.find('+');
    while (scan != std::string_view::npos && !IsStressMark(text, scan))
        scan = text.find('+', scan + 1);
    if (scan == std::string_view::npos && text.find("[[") == std::string_view::npos) {
        out.utf8 = EspeakUtf8(text);
        return out;
    }
    // Characters copied as they are keep their own offsets. eSpeak reads "[[" as the start
    // of phoneme input, so one in the text itself gets a space inside.
    auto copy = [&](size_t from, size_t to) {
        size_t piece = from;
        for (size_t k = from; k < to; ++k) {
            out.source.push_back(static_cast<int>(k));
            if (text[k] == '[' && k + 1 < text.size() && text[k + 1] == '[') {
                out.utf8 += EspeakUtf8(text.substr(piece, k + 1 - piece)) + ' ';
                out.source.push_back(static_cast<int>(k));
                piece = k + 1;
            }
        }
        out.utf8 += EspeakUtf8(text.substr(piece, to - piece));
    };
    size_t done = 0;
    while (scan != std::string_view::npos) {
        size_t start = scan, end = scan + 1;
        while (start > done && IsWordChar(text, start - 1))
            --start;
        while (end < text.size() && IsWordChar(text, end))
            ++end;
        copy(done, start);
        // The word without its marks; the first mark says where the stress goes.
        std::string word;
        std::vector<int> offsets;
        int stressed = -1, vowelsSeen = 0;
        for (size_t k = start; k < end; ++k) {
            if (text[k] == '+') {
                if (stressed < 0)
                    stressed = vowelsSeen;
                continue;
            }
            if (IsCyrillicVowel(text[k]))
                ++vowelsSeen;
            word += text[k];
            offsets.push_back(static_cast<int>(k));
        }
        const std::string restressed = Restress(word, stressed, phonemes(base::Cp1251ToUtf8(word)));
        if (!restressed.empty()) {
            out.utf8.append("[[").append(restressed).append("]]");
            out.source.insert(out.source.end(), restressed.size() + 4, static_cast<int>(start));
        } else {
            out.utf8 += EspeakUtf8(word);
            out.source.insert(out.source.end(), offsets.begin(), offsets.end());
        }
        done = end;
        scan = text.find('+', done);
        while (scan != std::string_view::npos && !IsStressMark(text, scan))
            scan = text.find('+', scan + 1);
    }
    copy(done, text.size());
    return out;
}

} // namespace vocalix::speech
