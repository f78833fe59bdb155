#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace vocalix::base {

// A memory line of /proc/self/status in kB: "VmRSS:" the resident size now, "VmHWM:" its
// high-water mark. 0 when the line is missing.
inline long StatusKb(std::string_view field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(field.size()));
    return 0;
}

} // namespace vocalix::base
