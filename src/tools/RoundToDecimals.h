#pragma once

#include <string>

namespace vocalix::tools {

// `value` rounded to `decimals` places, halves to even, written in the shortest form with "."
// as the decimal separator (no trailing zeros): 2.50 gives "2.5", 97.66 with 0 places "98".
std::string RoundToDecimals(double value, int decimals);

} // namespace vocalix::tools
