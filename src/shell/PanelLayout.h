#pragma once

// Where the page control sits beside the dictionary panel and the picture area.
namespace vocalix::shell {

// Horizontal place of the page control.
struct PageSpan {
    int left = 0;
    int width = 0;
};
// Beside a picture area: with the panel hidden, or with the panel shown.
PageSpan PagesBesidePictures(bool panelShown, int picMargin);
// After the splitter moved: the panel's new width and the page control's span; the width
// changes only while a picture area is shown (otherwise the pages fill the client area).
struct SplitterLayout {
    int panelWidth = 0;
    PageSpan pages;
};
SplitterLayout LayoutAfterSplitterMoved(int splitterLeft, int splitterWidth, int picMargin,
                                        bool picturesShown, int currentPagesWidth);

} // namespace vocalix::shell
