// HtmlToText and the FB2 picture items on arbitrary bytes: no crash, no hang, and every picture
// item has the shape the extraction relies on.
#include "documents/HtmlToText.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> pictures;
    const std::string out = vocalix::documents::HtmlToText(text, pictures);
    // Only "<p>" (3 bytes to 2) and a few single characters ("..." or "(c)") can grow the text.
    if (out.size() > 3 * size)
        std::abort();
    for (const std::string& item : pictures)
        if (item.rfind("<binary", 0) != 0 || item.back() != '<')
            std::abort();
    return 0;
}
