#include "tools/WordHunt.h"

#include "base/Cp1251.h"
#include "textprep/PronunciationFilter.h"
#include "textprep/StringRoutines.h"
#include "textprep/WordList.h"
#include "tools/SortedLineList.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace vocalix::tools {
namespace {

namespace tp = vocalix::textprep;

constexpr size_t kTokensBefore = 2;
constexpr size_t kTokensAfter = 4;

} // namespace

std::string WordHuntHeader(std::string_view fileTitle, std::string_view listTitle) {
    std::string r = base::Cp("# Выборка из текста \"");
    r += fileTitle;
    r += base::Cp("\" по списку \"");
    r += listTitle;
    r += "\"\r\n\r\n";
    return r;
}

std::string WordHuntReport(std::string_view text, std::string_view fileTitle,
                           const std::vector<std::string>& checkList, std::string_view listTitle,
                           const ReportHooks& hooks) {
    ReportRun run(hooks);
    // Membership without regard to case is equality of the lower-case forms; a hash set of them
    // answers the many key lookups of a book at once.
    std::unordered_set<std::string> check;
    // The first and last characters and the lengths of the list's lines: a word's keys (about
    // n * n of them for n letters) are built and looked up only where a line could match.
    std::vector<bool> firsts(256), lasts(256), lengths;
    for (const std::string& line : checkList) {
        const std::string& lower = *check.insert(tp::LowerCase(line)).first;
        if (lower.empty())
            continue;
        firsts[static_cast<unsigned char>(lower.front())] = true;
        lasts[static_cast<unsigned char>(lower.back())] = true;
        if (lengths.size() <= lower.size())
            lengths.resize(lower.size() + 1);
        lengths[lower.size()] = true;
    }
    const auto admit = [&](char first, bool, char last, size_t length) {
        // Keys beginning with "$" are the case-sensitive lookups, which a hunt does not make.
        return first != '$' && firsts[static_cast<unsigned char>(tp::LowerChar(first))] &&
               lasts[static_cast<unsigned char>(tp::LowerChar(last))] &&
               (length == tp::kAnyKeyLength || (length < lengths.size() && lengths[length]));
    };
    const tp::WordList list = tp::TextToWordList(text);
    run.Max(list.size());
    // A book repeats its words: each word's matching key is looked for once.
    std::unordered_map<std::string, std::string> keyOf;
    SortedLineList results(true);
    for (size_t v = 0; v < list.size(); ++v) {
        const std::string& token = list[v];
        if (token.empty() || tp::IsLineMarker(token)) {
            run.Step(v);
            continue;
        }
        const std::string core(tp::WordCore(token));
        // Punctuation alone is no word; its only key would be empty and would "find" an
        // empty line of the list.
        if (core.empty()) {
            run.Step(v);
            continue;
        }
        auto known = keyOf.find(core);
        if (known == keyOf.end()) {
            std::string hit;
            tp::VisitCandidateKeys(core, admit, [&](std::string_view key) {
                if (tp::StartsWithChar(key, '$') || !check.count(tp::LowerCase(key)))
                    return true;
                hit = key;
                return false;
            });
            known = keyOf.emplace(core, std::move(hit)).first;
        }
        if (!known->second.empty()) {
            std::string line;
            const size_t first = v >= kTokensBefore ? v - kTokensBefore : 0;
            const size_t last = std::min(list.size() - 1, v + kTokensAfter);
            for (size_t i = first; i <= last; ++i) {
                if (i > first)
                    line += ' ';
                line += list[i];
            }
            line += " | ";
            line += known->second;
            results.Add(line);
        }
        run.Step(v);
    }
    return WordHuntHeader(fileTitle, listTitle) + results.Text();
}

} // namespace vocalix::tools
