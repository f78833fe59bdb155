// The RTF reader on arbitrary bytes (and on arbitrary bytes behind an RTF header).
#include "documents/RtfReader.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)vocalix::documents::RtfToText(bytes);
    (void)vocalix::documents::RtfToText("{\\rtf1\\ansi " + std::string(bytes));
    return 0;
}
