#pragma once

#include <functional>
#include <string>
#include <vector>

// Starting an external program, as the plain-C++ libraries see it: they are handed a runner
// and never start processes themselves.
namespace vocalix::base {

struct ProcessOutcome {
    bool started = false;  // false: the program could not be started (not installed)
    bool timedOut = false; // the time limit passed and the process was killed
    int exitCode = -1;
    std::string errorOutput; // what it wrote to stderr
};

// Runs program with exactly these arguments (never through a shell) and waits at most timeoutMs.
using ProcessRunner = std::function<ProcessOutcome(
    const std::string& program, const std::vector<std::string>& args, int timeoutMs)>;

// Starts program with these arguments and does not wait for it; false when it cannot start.
using ProcessStarter =
    std::function<bool(const std::string& program, const std::vector<std::string>& args)>;

} // namespace vocalix::base
