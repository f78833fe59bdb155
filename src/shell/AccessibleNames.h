#pragma once

class QWidget;

namespace vocalix::shell {

// Gives every control under `root` that has no accessible name one from its tool tip, and an
// accessible description from its status-line text where that says more than the tool tip,
// so that a screen reader announces each control the way the mouse hint shows it.
void NameControlsFromHints(QWidget* root);

} // namespace vocalix::shell
