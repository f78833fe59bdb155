// The pronunciation filter on arbitrary dictionaries and texts: the input is split at the
// first NUL into dictionary bytes and text bytes.
#include "textprep/Dictionaries.h"
#include "textprep/PronunciationFilter.h"
#include "textprep/WordList.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace vocalix::textprep;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const std::string_view dic = input.substr(0, nul);
    const std::string_view text =
        nul == std::string_view::npos ? std::string_view{} : input.substr(nul + 1);
    std::vector<std::string> lines;
    SplitDictionaryLines(dic, lines);
    const auto table = BuildPronunciationTable(lines);
    WordList list = TextToWordList(text);
    bool range = false;
    for (size_t i = 0; i < list.size(); ++i) {
        if (CensorMatch(list[i], table->tags.CENZ, range))
            list[i].clear();
        if (!list[i].empty() && !IsLineMarker(list[i]))
            CheckWord(table->entries, list, i, list.size());
    }
    JoinList(list, true, false, table->tags);
    JoinList(list, false, true, table->tags);
    return 0;
}
