#pragma once

#include <cstddef>
#include <functional>

namespace vocalix::tools {

// What a long editing run reports to the window: the progress bar and a chance to repaint.
// Empty members are skipped, so tests and the command-line program pass nothing.
struct ProgressHooks {
    std::function<void(size_t)> setProgressMax;
    std::function<void(size_t)> setProgress;
    std::function<void()> processEvents;

    void Max(size_t n) const {
        if (setProgressMax)
            setProgressMax(n);
    }
    void Step(size_t i) const {
        if (setProgress)
            setProgress(i);
        if (processEvents)
            processEvents();
    }
};

// Repainting after every line of a 2 MB book would cost more than the work itself; a step
// is reported every this many lines or tokens.
constexpr size_t kProgressEvery = 512;

} // namespace vocalix::tools
