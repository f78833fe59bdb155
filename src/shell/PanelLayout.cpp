#include "shell/PanelLayout.h"

namespace vocalix::shell {

PageSpan PagesBesidePictures(bool panelShown, int picMargin) {
    if (panelShown)
        return {124, picMargin - 123};
    return {1, picMargin};
}

SplitterLayout LayoutAfterSplitterMoved(int splitterLeft, int splitterWidth, int picMargin,
                                        bool picturesShown, int currentPagesWidth) {
    SplitterLayout layout;
    layout.panelWidth = splitterLeft;
    layout.pages.left = splitterLeft + splitterWidth - 1;
    layout.pages.width =
        picturesShown ? picMargin - splitterLeft - splitterWidth : currentPagesWidth;
    return layout;
}

} // namespace vocalix::shell
