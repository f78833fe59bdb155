#include "windows/ZoomGeometry.h"

#include <gtest/gtest.h>

using vocalix::windows::CaptureGeometry;

namespace {

struct Case {
    const char* what;
    QPoint pointer;
    int width, height, factor;
    QSize screen;
    QRect source;
    QPoint cross;
};

// Expected values worked out by hand from the pointer, the picture size and k.
const Case kCases[] = {
    {"706/4 = 176.5 rounds down to even, 150/4 = 37.5 up to even",
     {800, 500},
     706,
     150,
     2,
     {1920, 1080},
     {624, 462, 352, 76},
     {352, 76}},
    {"710/4 = 177.5 rounds up to even, 130/4 = 32.5 down to even",
     {800, 500},
     710,
     130,
     2,
     {1920, 1080},
     {622, 468, 356, 64},
     {356, 64}},
    {"k = 16: 706/32 = 22.06 and 150/32 = 4.69",
     {800, 500},
     706,
     150,
     16,
     {1920, 1080},
     {778, 495, 44, 10},
     {352, 80}},
    {"twice as wide a window reads twice as wide a strip",
     {800, 500},
     1412,
     150,
     2,
     {1920, 1080},
     {447, 462, 706, 76},
     {706, 76}},
    {"top-left corner: source at 0,0, cross up and left",
     {0, 0},
     706,
     150,
     2,
     {1920, 1080},
     {0, 0, 352, 76},
     {0, 0}},
    {"bottom-right corner: moved back left and up",
     {1919, 1079},
     706,
     150,
     2,
     {1920, 1080},
     {1568, 1004, 352, 76},
     {702, 150}},
    {"left edge only", {100, 500}, 706, 150, 2, {1920, 1080}, {0, 462, 352, 76}, {200, 76}},
    {"wider than the screen: the right edge wins",
     {10, 10},
     706,
     150,
     2,
     {300, 50},
     {-52, -26, 352, 76},
     {124, 72}},
};

} // namespace

TEST(CaptureGeometry, SourceAndCross) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const auto capture = CaptureGeometry(c.pointer, c.width, c.height, c.factor,
                                             c.screen.width(), c.screen.height());
        EXPECT_EQ(capture.source, c.source);
        EXPECT_EQ(capture.cross, c.cross);
    }
}

TEST(CaptureGeometry, CrossStrokesAreKThickAndReachAnEighth) {
    const auto two = CaptureGeometry({800, 500}, 706, 150, 2, 1920, 1080);
    EXPECT_EQ(two.horizontalStroke, QRect(264, 75, 176, 2));
    EXPECT_EQ(two.verticalStroke, QRect(351, 58, 2, 36));
    const auto sixteen = CaptureGeometry({800, 500}, 706, 150, 16, 1920, 1080);
    EXPECT_EQ(sixteen.horizontalStroke, QRect(264, 72, 176, 16));
    EXPECT_EQ(sixteen.verticalStroke, QRect(344, 62, 16, 36));
}
