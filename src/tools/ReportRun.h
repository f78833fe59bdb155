#pragma once

#include "textprep/PronunciationFilter.h"

namespace vocalix::tools {

// What the window lends a report: progress bar, pending messages, magnifier timer.
using ReportHooks = textprep::FilterHooks;

// A report run under the window's hooks: the magnifier paused throughout (resumed also when
// the run ends by an exception), the progress bar moved and pending events let through after
// every step, the bar reset at the end.
class ReportRun {
public:
    explicit ReportRun(const ReportHooks& hooks) : m_hooks(hooks) {
        if (m_hooks.pauseMagnifier)
            m_hooks.pauseMagnifier();
    }
    ~ReportRun() {
        if (m_hooks.setProgress)
            m_hooks.setProgress(0);
        if (m_hooks.resumeMagnifier)
            m_hooks.resumeMagnifier();
    }
    ReportRun(const ReportRun&) = delete;
    ReportRun& operator=(const ReportRun&) = delete;

    void Max(size_t maximum) const {
        if (m_hooks.setProgressMax)
            m_hooks.setProgressMax(maximum);
    }
    void Step(size_t position) const {
        if (m_hooks.setProgress)
            m_hooks.setProgress(position);
        if (m_hooks.processEvents)
            m_hooks.processEvents();
    }

private:
    const ReportHooks& m_hooks;
};

} // namespace vocalix::tools
