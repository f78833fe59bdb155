// The word list of the pronunciation filter and the lookup keys of its words: whatever the
// text, every key is a non-empty string.
//
// A word of n bytes has about n * n keys; a few words per input keep the runs fast. The keys
// of each are checked as the filter meets them, one at a time; CandidateKeys, which stores
// them all as strings of their own, runs on the first of the words and must give the same
// keys in the same order (storing thousands of keys of every word was most of an execution).
#include "textprep/PronunciationFilter.h"
#include "textprep/WordList.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace vocalix::textprep;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const WordList list = TextToWordList(text);
    size_t keyed = 0;
    for (const std::string& word : list) {
        if (IsLineMarker(word))
            continue;
        if (++keyed > 4)
            break;
        const std::vector<std::string> stored =
            keyed == 1 ? CandidateKeys(word) : std::vector<std::string>{};
        size_t seen = 0;
        VisitCandidateKeys(
            word, [](char, bool, char, size_t) { return true; },
            [&](std::string_view key) {
                if (key.empty())
                    std::abort();
                if (keyed == 1 && (seen >= stored.size() || stored[seen] != key))
                    std::abort();
                ++seen;
                return true;
            });
        if (keyed == 1 && seen != stored.size())
            std::abort();
    }
    (void)TextToWordListKeepingLongTokens(text);
    return 0;
}
