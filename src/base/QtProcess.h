#pragma once

#include "base/ProcessOutcome.h"

namespace vocalix::base {

// The runner behind ProcessRunner. The program gets a process group of its own, so that on
// the time limit everything it started is killed with it. While waiting, pending events of the
// application are processed, so a window stays responsive.
ProcessOutcome RunProcess(const std::string& program, const std::vector<std::string>& args,
                          int timeoutMs);

// The starter behind ProcessStarter: the program runs on after this returns.
bool StartDetached(const std::string& program, const std::vector<std::string>& args);

} // namespace vocalix::base
