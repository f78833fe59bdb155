#include "tools/RoundToDecimals.h"

#include <charconv>
#include <cmath>

namespace vocalix::tools {

std::string RoundToDecimals(double value, int decimals) {
    if (decimals < 0)
        decimals = 0;
    if (decimals > 15)
        decimals = 15;
    const double scale = std::pow(10.0, decimals);
    // nearbyint follows the default rounding mode: to nearest, ties to even.
    const double rounded = std::nearbyint(value * scale) / scale;
    // to_chars ignores the C locale, which the GUI sets to the user's (a decimal comma).
    char buffer[512];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    if (text == "-0")
        text = "0";
    return text;
}

} // namespace vocalix::tools
