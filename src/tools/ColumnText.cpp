#include "tools/ColumnText.h"

#include "textprep/StringRoutines.h"
#include "textprep/WordList.h"

#include <algorithm>
#include <array>
#include <set>
#include <unordered_map>
#include <vector>

namespace vocalix::tools {
namespace {

namespace tp = vocalix::textprep;

bool IsLetter(unsigned char u) {
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0xC0 || u == 0xA8 || u == 0xB8;
}

bool IsColumnSign(char c) {
    return c == '\'' || c == '-' || c == '<' || c == '>' || c == '^' || c == '_' || c == '`';
}

// Tokens that are never words here: line markers and lone dashes.
bool IsWordToken(std::string_view token) {
    return !tp::IsLineMarker(token) && token != "-" && token != "\x96";
}

// Collation weights: the code page order, except that Ё and ё sit right after Е and е.
struct Collation {
    std::array<unsigned, 256> weight{};
    Collation() {
        for (unsigned c = 0; c < 256; ++c)
            weight[c] = c * 4;
        weight[0xA8] = 0xC5 * 4 + 2; // Ё after Е
        weight[0xB8] = 0xE5 * 4 + 2; // ё after е
    }
};

const Collation& Weights() {
    static const Collation collation;
    return collation;
}

int CompareIgnoringCase(std::string_view a, std::string_view b) {
    const auto& w = Weights().weight;
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned wa = w[static_cast<unsigned char>(tp::LowerChar(a[i]))];
        const unsigned wb = w[static_cast<unsigned char>(tp::LowerChar(b[i]))];
        if (wa != wb)
            return wa < wb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

struct IgnoringCase {
    bool operator()(const std::string& a, const std::string& b) const {
        return LessIgnoringCase(a, b);
    }
};

struct WithCase {
    bool operator()(const std::string& a, const std::string& b) const { return LessWithCase(a, b); }
};

std::string JoinEachWithBreak(const auto& list) {
    std::string out;
    for (const std::string& s : list) {
        out += s;
        out += "\r\n";
    }
    return out;
}

} // namespace

bool LessIgnoringCase(std::string_view a, std::string_view b) {
    return CompareIgnoringCase(a, b) < 0;
}

bool LessWithCase(std::string_view a, std::string_view b) {
    const int c = CompareIgnoringCase(a, b);
    if (c != 0)
        return c < 0;
    // Same letters: the lower-case spelling first (its code is the higher one).
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) > static_cast<unsigned char>(y);
    });
}

bool IsColumnWord(std::string_view word) {
    if (word.empty())
        return false;
    if (word.size() == 1 && IsColumnSign(word[0]) && word[0] != '-')
        return false;
    return std::all_of(word.begin(), word.end(), [](char c) {
        return IsLetter(static_cast<unsigned char>(c)) || IsColumnSign(c);
    });
}

std::string ColumnText(std::string_view text, const ProgressHooks& hooks) {
    const tp::WordList tokens = tp::TextToWordList(text);
    hooks.Max(tokens.size());
    std::string out;
    out.reserve(text.size());
    bool first = true;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (IsWordToken(tokens[i])) {
            if (!first)
                out += "\r\n";
            first = false;
            out += tp::LowerCase(tp::WordCore(tokens[i]));
        }
        if (i % kProgressEvery == 0)
            hooks.Step(i);
    }
    return out;
}

std::string AlphColumnText(std::string_view text, int caseMode, const ProgressHooks& hooks) {
    const tp::WordList tokens = tp::TextToWordList(text);
    hooks.Max(tokens.size());
    // Duplicates are dropped by their case-folded form, the first spelling kept; sorting the
    // few distinct words once is much cheaper than keeping a tree sorted per token.
    std::unordered_map<std::string, std::string> seen;
    std::vector<std::string> list;
    auto add = [&](std::string entry) {
        if (seen.try_emplace(tp::LowerCase(entry), entry).second)
            list.push_back(std::move(entry));
    };
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        const std::string_view core = tp::WordCore(token);
        if (IsWordToken(token) && IsColumnWord(core)) {
            if (caseMode == 0)
                add(tp::LowerCase(core));
            else if (tp::StartsWithCapital(token))
                add(" " + std::string(core));
            else
                add(std::string(core));
        }
        if (i % kProgressEvery == 0)
            hooks.Step(i);
    }
    std::sort(list.begin(), list.end(), IgnoringCase());
    return JoinEachWithBreak(list);
}

std::string SortLines(std::string_view text) {
    std::set<std::string, WithCase> list;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        list.emplace(text.substr(start, end - start));
        start = end + 2;
    }
    return JoinEachWithBreak(list);
}

} // namespace vocalix::tools
