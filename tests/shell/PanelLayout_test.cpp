#include "shell/PanelLayout.h"

#include <gtest/gtest.h>

using namespace vocalix::shell;

TEST(PanelLayout, PageGeometry) {
    EXPECT_EQ(PagesBesidePictures(true, 550).left, 124);
    EXPECT_EQ(PagesBesidePictures(true, 550).width, 427);
    EXPECT_EQ(PagesBesidePictures(false, 550).left, 1);
    EXPECT_EQ(PagesBesidePictures(false, 550).width, 550);
    auto l = LayoutAfterSplitterMoved(200, 3, 550, true, 999);
    EXPECT_EQ(l.panelWidth, 200);
    EXPECT_EQ(l.pages.left, 202);
    EXPECT_EQ(l.pages.width, 347);
    EXPECT_EQ(LayoutAfterSplitterMoved(200, 3, 550, false, 999).pages.width, 999);
}
