#include "shell/WindowText.h"
#include "documents/DocumentFiles.h"

#include "base/Cp1251.h"
#include "tools/RoundToDecimals.h"

#include <cctype>

namespace vocalix::shell {

std::string PageTitle(int index, std::string_view separator, std::string_view fileName) {
    std::string name = documents::FileTitle(fileName);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.resize(dot);
    if (name.size() > 64)
        name.resize(64);
    return std::to_string(index + 1) + std::string(separator) + name;
}

std::string SizeHint(long long length) {
    static const std::string kb = base::Cp(" Кб, ");
    static const std::string al = base::Cp(" а.л.");
    return tools::RoundToDecimals(static_cast<double>(length) / 1024.0, 0) + kb +
           tools::RoundToDecimals(static_cast<double>(length) / 40000.0, 1) + al;
}

int ZoomPercent(int numerator, int denominator) {
    if (denominator < 1)
        return 100;
    // Multiply-divide rounding half away from zero.
    const long long product = 100LL * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

} // namespace vocalix::shell
