// The analysis reports over arbitrary text: text properties, names and abbreviations, the
// repetition finder, the word hunt with a check list and the file set operations.
#include "textprep/Dictionaries.h"
#include "tools/FileSetOperations.h"
#include "tools/FreshEye.h"
#include "tools/Names.h"
#include "tools/TextProperties.h"
#include "tools/WordHunt.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace vocalix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    tools::FreshEyeSettings fresh;
    fresh.deep = in.ConsumeIntegral<int>();
    fresh.similarity = in.ConsumeIntegral<int>();
    const auto operation =
        static_cast<tools::FileSetOperation>(in.ConsumeIntegralInRange<int>(1, 3));
    const std::string list = in.ConsumeRandomLengthString();
    const std::string text = in.ConsumeRemainingBytesAsString();

    (void)tools::TextPropertiesReport(text, "a.txt");
    (void)tools::NamesReport(text, "a.txt");
    (void)tools::FreshEyeReport(text, "a.txt", fresh);
    std::vector<std::string> checkList;
    textprep::SplitDictionaryLines(list, checkList);
    (void)tools::WordHuntReport(text, "a.txt", checkList, "list.txt");
    std::vector<std::string> lines;
    textprep::SplitDictionaryLines(text, lines);
    (void)tools::FileSetReport(operation, "/a.txt", lines, "/b.txt", checkList);
    return 0;
}
