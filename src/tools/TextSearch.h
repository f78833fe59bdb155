#pragma once

#include <string>
#include <string_view>

namespace vocalix::tools {

// Every occurrence of `what` replaced by `with`, left to right without overlaps; without
// `matchCase` letters are compared by the Windows-1251 case rules (Cyrillic included).
std::string ReplaceAllMatches(std::string_view text, std::string_view what, std::string_view with,
                              bool matchCase);

// The find dialog's question when nothing more is found.
std::string NotFoundQuestion(std::string_view what);

} // namespace vocalix::tools
