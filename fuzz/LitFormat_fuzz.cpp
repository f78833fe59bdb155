// The literary layout ("Литературный текст") with arbitrary text and any LitText options (the
// preferences take any digits, the settings file any number): words are never lost or changed.
#include "textprep/WordList.h"
#include "tools/LitFormat.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace vocalix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    tools::LitTextSettings settings;
    settings.Parag = in.ConsumeIntegral<int>();
    settings.MaxLen = in.ConsumeIntegral<int>();
    settings.MaxHugeLen = in.ConsumeIntegral<int>();
    settings.RightJustify = in.ConsumeBool();
    const unsigned seed = in.ConsumeIntegral<unsigned>();
    const int shift = in.ConsumeIntegralInRange<int>(-1, 1);
    const std::string text = in.ConsumeRemainingBytesAsString();

    const std::string formatted =
        tools::FormatLiteraryText(text, settings, tools::SeededRandomIndex(seed));
    // Layout only moves blanks and line breaks: the words of the plain-typography text stay.
    auto words = [](const std::string& t) {
        std::vector<std::string> out;
        for (const std::string& w : textprep::TextToWordListKeepingLongTokens(t))
            if (!textprep::IsLineMarker(w))
                out.push_back(w);
        return out;
    };
    if (words(formatted) != words(tools::NormaliseTypography(text)))
        std::abort();
    (void)tools::JustifyLine(text.substr(0, 200), std::min(settings.MaxLen, tools::kMaxLayoutWidth),
                             tools::SeededRandomIndex(seed));
    const int length = static_cast<int>(text.size());
    const int selStart = length == 0 ? 0 : static_cast<int>(seed % (length + 1));
    (void)tools::TextHorizontalMove(text, selStart, length - selStart, shift == 0 ? 1 : shift);
    return 0;
}
