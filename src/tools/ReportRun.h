#pragma once

#include "textprep/PronunciationFilter.h"

namespace vocalix::tools {

// What the window lends a report: progress bar, pending messages, magnifier timer; a report
// runs under them as the filters do.
using ReportHooks = textprep::FilterHooks;
using ReportRun = textprep::HookedRun;

} // namespace vocalix::tools
