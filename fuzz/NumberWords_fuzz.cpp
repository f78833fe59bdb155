// Numbers to words on arbitrary text and on arbitrary digit strings (also with a date's dots).
#include "tools/NumberWords.h"

#include <cstdint>
#include <string_view>

using namespace vocalix::tools;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)NumbersToWords(text);
    (void)NumbersToWords(DotsToDashes(text));
    (void)NumberToPhrase(text);
    (void)IntegerToWords(text);
    (void)PluralForm(text, "a", "b", "c");
    return 0;
}
