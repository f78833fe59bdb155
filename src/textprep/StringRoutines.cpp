#include "textprep/StringRoutines.h"

#include <algorithm>
#include <array>

namespace vocalix::textprep {
namespace {

using uchar = unsigned char;

struct CharTables {
    std::array<char, 256> lower{};
    std::array<char, 256> upper{};
    std::array<bool, 256> punctuation{};
    std::array<bool, 256> capital{};
    std::array<bool, 256> cyrillic{};
    std::array<bool, 256> bracket{};

    CharTables() {
        for (int c = 0; c < 256; ++c) {
            lower[c] = static_cast<char>(c);
            upper[c] = static_cast<char>(c);
        }
        for (int c = 'A'; c <= 'Z'; ++c) {
            lower[c] = static_cast<char>(c + 32);
            upper[c + 32] = static_cast<char>(c);
            capital[c] = true;
        }
        for (int c = 0xC0; c <= 0xDF; ++c) {
            lower[c] = static_cast<char>(c + 32);
            upper[c + 32] = static_cast<char>(c);
            capital[c] = true;
        }
        lower[0xA8] = static_cast<char>(0xB8);
        upper[0xB8] = static_cast<char>(0xA8);
        capital[0xA8] = true;
        for (int c = 0xC0; c <= 0xFF; ++c)
            cyrillic[c] = true;
        cyrillic[0xA8] = cyrillic[0xB8] = true;
        for (int c : {0x21, 0x22, 0x28, 0x29, 0x2C, 0x2E, 0x3A, 0x3B, 0x3F, 0x5B, 0x5D, 0x7B, 0x7D,
                      0x85, 0xAB, 0xBB})
            punctuation[c] = true;
        for (int c : {0x22, 0x28, 0x29, 0xAB, 0xBB})
            bracket[c] = true;
    }
};

const CharTables& Tables() {
    static const CharTables tables;
    return tables;
}

// Plain wildcard matching ("*" = any run, possibly empty) by greedy scanning with a single
// backtrack point; linear enough for the short strings it sees.
bool StarMatch(std::string_view text, std::string_view pattern) {
    size_t t = 0, p = 0;
    size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

char LowerChar(char c) {
    return Tables().lower[static_cast<uchar>(c)];
}
char UpperChar(char c) {
    return Tables().upper[static_cast<uchar>(c)];
}

std::string LowerCase(std::string_view text) {
    std::string out(text);
    const auto& t = Tables().lower;
    for (char& c : out)
        c = t[static_cast<uchar>(c)];
    return out;
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    const auto& t = Tables().upper;
    for (char& c : out)
        c = t[static_cast<uchar>(c)];
    return out;
}

bool IsPunctuation(char c) {
    return Tables().punctuation[static_cast<uchar>(c)];
}
bool IsCapitalLetter(char c) {
    return Tables().capital[static_cast<uchar>(c)];
}
bool IsCyrillicLetter(char c) {
    return Tables().cyrillic[static_cast<uchar>(c)];
}
bool IsBracket(char c) {
    return Tables().bracket[static_cast<uchar>(c)];
}

void SplitBy(std::string_view text, char separator, std::vector<std::string>& pieces) {
    pieces.clear();
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string_view::npos)
            end = text.size();
        const size_t len = end - start;
        if (len > 0 && len < kMaxTokenLength)
            pieces.emplace_back(text.substr(start, len));
        start = end + 1;
    }
}

std::vector<std::string> SplitBy(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    SplitBy(text, separator, pieces);
    return pieces;
}

size_t PosCharFrom(char c, std::string_view text, size_t start) {
    if (start == 0)
        start = 1;
    if (start > text.size())
        return 0;
    const size_t at = text.find(c, start - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::string_view NameOf(std::string_view text) {
    const size_t eq = text.find('=');
    return eq == std::string_view::npos ? std::string_view{} : text.substr(0, eq);
}

std::string_view ValueOf(std::string_view text) {
    const size_t eq = text.find('=');
    return eq == std::string_view::npos ? text : text.substr(eq + 1);
}

std::string_view TagValueOf(std::string_view text) {
    const size_t eq = text.find('=');
    return eq == std::string_view::npos ? std::string_view{} : text.substr(eq + 1);
}

std::string_view KeyOf(std::string_view text, char separator) {
    const size_t at = text.find(separator);
    return at == std::string_view::npos ? text : text.substr(0, at);
}

std::string_view LeadingPunctuation(std::string_view token) {
    size_t n = 0;
    while (n < token.size() && IsPunctuation(token[n]))
        ++n;
    return token.substr(0, n);
}

std::string_view TrailingPunctuation(std::string_view token) {
    size_t n = token.size();
    while (n > 0 && IsPunctuation(token[n - 1]))
        --n;
    return token.substr(n);
}

std::string_view WordCore(std::string_view token) {
    const size_t lead = LeadingPunctuation(token).size();
    if (lead == token.size())
        return {};
    const size_t trail = TrailingPunctuation(token).size();
    return token.substr(lead, token.size() - lead - trail);
}

std::string BracketsOf(std::string_view token) {
    std::string out;
    for (char c : token)
        if (IsBracket(c))
            out += c;
    return out;
}

std::string WordWithoutBrackets(std::string_view token) {
    const bool endsParen = !token.empty() && token.back() == ')';
    if ((token.size() <= 3 && endsParen) ||
        (token.size() <= 4 && endsParen && token.front() == '('))
        return std::string(token);
    std::string out(WordCore(token));
    for (char c : TrailingPunctuation(token))
        if (!IsBracket(c))
            out += c;
    return out;
}

std::string_view PatternTailPunctuation(std::string_view pattern) {
    if (pattern.empty() || pattern.back() != '*')
        return {};
    return TrailingPunctuation(pattern.substr(0, pattern.size() - 1));
}

bool StartsWithCapital(std::string_view token) {
    for (char c : token)
        if (!IsPunctuation(c))
            return IsCapitalLetter(c);
    return false;
}

std::string CapitalizeFirstLetter(std::string_view token) {
    std::string out(token);
    for (char& c : out)
        if (!IsPunctuation(c)) {
            c = UpperChar(c);
            break;
        }
    return out;
}

bool IsCyrillicWord(std::string_view token) {
    if (token.empty())
        return false;
    return std::all_of(token.begin(), token.end(), IsCyrillicLetter);
}

bool StartsWithChar(std::string_view token, char c) {
    return !token.empty() && token[0] == c;
}

std::string_view DropFirstChar(std::string_view token) {
    return token.empty() ? token : token.substr(1);
}

// The matcher this program has always used differs from plain wildcard matching in one place:
// once the text is used up, only an exhausted pattern or a lone "*" still matches. So a
// pattern ending in two or more stars needs at least one character for that last star run,
// which is the same as a plain match of the text without its last character against the
// pattern with a single trailing star.
bool WildMatch(std::string_view text, std::string_view pattern) {
    if (text.size() > 255 || pattern.size() > 255)
        return false;
    if (pattern.find('*') == std::string_view::npos)
        return text == pattern;
    size_t end = pattern.size();
    while (end > 0 && pattern[end - 1] == '*')
        --end;
    if (pattern.size() - end >= 2) {
        if (text.empty())
            return false;
        return StarMatch(text.substr(0, text.size() - 1), pattern.substr(0, end + 1));
    }
    return StarMatch(text, pattern);
}

bool IsStarOnlyPattern(std::string_view pattern) {
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '*' && pattern[i] != ' ')
            return false;
        if (pattern[i] == '*' && i + 1 < pattern.size() && pattern[i + 1] == '*')
            return false;
    }
    return true;
}

void SortByLengthDesc(std::vector<std::string>& list) {
    std::stable_sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
        return a.size() > b.size();
    });
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty())
        return std::string(text);
    std::string out;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(from, start);
        if (at == std::string_view::npos)
            break;
        out.append(text.substr(start, at - start));
        out.append(to);
        start = at + from.size();
    }
    out.append(text.substr(start));
    return out;
}

std::string_view TrimControls(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<uchar>(text[b]) <= 32)
        ++b;
    while (e > b && static_cast<uchar>(text[e - 1]) <= 32)
        --e;
    return text.substr(b, e - b);
}

} // namespace vocalix::textprep
