#pragma once

#include "tools/ReportRun.h"

#include <string>
#include <string_view>
#include <vector>

namespace vocalix::tools {

// The report "Найти по списку..." writes into page "0": every word of the text that one of its
// lookup keys (as the pronunciation filter forms them, the case-sensitive "$" keys left out)
// finds in the check list, with two tokens before it and four after, and the key. Letter case
// is ignored. `fileTitle` and `listTitle` are names without folder.
std::string WordHuntReport(std::string_view text, std::string_view fileTitle,
                           const std::vector<std::string>& checkList, std::string_view listTitle,
                           const ReportHooks& hooks = {});

// The report when no check list was chosen: the header alone.
std::string WordHuntHeader(std::string_view fileTitle, std::string_view listTitle);

} // namespace vocalix::tools
