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
    for (const std::string& line : checkList)
        check.insert(tp::LowerCase(line));
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
            for (const std::string& key : tp::CandidateKeys(core)) {
                if (tp::StartsWithChar(key, '$'))
                    continue;
                if (check.count(tp::LowerCase(key))) {
                    hit = key;
                    break;
                }
            }
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
