#include "tools/Names.h"

#include "base/Cp1251.h"
#include "textprep/StringRoutines.h"
#include "textprep/WordList.h"
#include "tools/SortedLineList.h"

namespace vocalix::tools {
namespace {

namespace tp = vocalix::textprep;

constexpr size_t kAbbreviationLimit = 5;
constexpr char kEnDash = '\x96';

bool EndsWith(std::string_view s, char c) {
    return !s.empty() && s.back() == c;
}

// Whether T, with P before it and Q before that, stands inside a sentence as a capitalised
// word. Q is absent for the second token: then it is neither a marker nor punctuated.
bool IsNameAt(std::string_view t, std::string_view p, const std::string* q) {
    if (tp::IsLineMarker(t) || tp::IsLineMarker(p))
        return false;
    if (EndsWith(p, '"') || tp::StartsWithChar(t, '"') || EndsWith(t, '"'))
        return false;
    if (q && tp::IsLineMarker(*q) && (p == "-" || (p.size() == 1 && p[0] == kEnDash)))
        return false;
    if (q && !tp::TrailingPunctuation(*q).empty() && p == "-")
        return false;
    const std::string_view trail = tp::TrailingPunctuation(p);
    if (!trail.empty() && trail != "," && trail != ";")
        return false;
    return tp::StartsWithCapital(t) && !IsAbbreviationLike(tp::WordCore(t), kAbbreviationLimit);
}

} // namespace

bool IsAbbreviationLike(std::string_view word, size_t limit) {
    size_t capitals = 0;
    for (const char c : word) {
        switch (c) {
        case '\xA8': // Ё
        case '\xC9': // Й
        case '\xDA': // Ъ
        case '\xDB': // Ы
        case '\xDC': // Ь
            return true;
        default:
            capitals += tp::IsCapitalLetter(c);
        }
    }
    return capitals > limit;
}

std::string NamesReport(std::string_view text, std::string_view fileTitle,
                        const ReportHooks& hooks) {
    ReportRun run(hooks);
    const tp::WordList list = tp::TextToWordList(text);
    run.Max(list.size());
    SortedLineList names(true);
    for (size_t b = 1; b < list.size(); ++b) {
        if (IsNameAt(list[b], list[b - 1], b >= 2 ? &list[b - 2] : nullptr))
            names.Add(tp::WordCore(list[b]));
        run.Step(b);
    }
    std::string header = base::Cp("# Имен и аббревиатур в \"");
    header += fileTitle;
    header += "\": " + std::to_string(names.Size()) + "\r\n";
    names.Add(header);
    return names.Text();
}

} // namespace vocalix::tools
