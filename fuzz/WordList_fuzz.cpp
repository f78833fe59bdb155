// The word list of the pronunciation filter and the lookup keys of its words: whatever the
// text, every key is a non-empty string.
#include "textprep/PronunciationFilter.h"
#include "textprep/WordList.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace vocalix::textprep;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const WordList list = TextToWordList(text);
    // A word of n bytes has about n * n keys; a few words per input keep the runs fast.
    size_t keyed = 0;
    for (const std::string& word : list) {
        if (IsLineMarker(word))
            continue;
        if (++keyed > 4)
            break;
        for (const std::string& key : CandidateKeys(word))
            if (key.empty())
                std::abort();
    }
    (void)TextToWordListKeepingLongTokens(text);
    return 0;
}
