#pragma once

class QToolBar;
class QWidget;

namespace vocalix::shell {

// Keeps every control of `bar` on the bar: `stretchy` (a wide list) gives up width, down to
// `narrowest`, whenever the bar is narrower than all its controls at `widest`; it grows back
// to `widest` when there is room.
void FitWidgetToToolBar(QToolBar* bar, QWidget* stretchy, int widest, int narrowest);

} // namespace vocalix::shell
