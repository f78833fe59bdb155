// The code-page detectors and converters on arbitrary bytes.
#include "documents/CodePages.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace d = vocalix::documents;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)d::IsDosText(text);
    (void)d::IsKoiText(text);
    (void)d::IsUtf8Text(text);
    // One byte in, one byte out for the table conversions; UTF-8 never grows.
    if (d::KoiToWin(text).size() != size || d::DosToWin(text).size() != size)
        std::abort();
    if (d::Utf8ToWin(text).size() > size)
        std::abort();
    if (d::TextSample(text, 16).size() > 4 * 16 + 2 && size > 64)
        std::abort();
    std::string repaired(text);
    d::RepairCodePage(repaired);
    return 0;
}
