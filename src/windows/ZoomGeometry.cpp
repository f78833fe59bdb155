#include "windows/ZoomGeometry.h"

#include <cmath>

namespace vocalix::windows {

ZoomCapture CaptureGeometry(QPoint pointer, int width, int height, int factor, int screenWidth,
                            int screenHeight) {
    // nearbyint follows the default rounding mode: to nearest, ties to even.
    const int halfWidth = static_cast<int>(std::nearbyint(width / (2.0 * factor)));
    const int halfHeight = static_cast<int>(std::nearbyint(height / (2.0 * factor)));
    int left = pointer.x() - halfWidth;
    int top = pointer.y() - halfHeight;
    int right = pointer.x() + halfWidth;
    int bottom = pointer.y() + halfHeight;
    // One edge after the other, so a source larger than the screen ends up against its right
    // and bottom edges.
    if (left < 0) {
        right -= left;
        left = 0;
    }
    if (top < 0) {
        bottom -= top;
        top = 0;
    }
    if (right > screenWidth) {
        left -= right - screenWidth;
        right = screenWidth;
    }
    if (bottom > screenHeight) {
        top -= bottom - screenHeight;
        bottom = screenHeight;
    }
    ZoomCapture capture;
    capture.source = QRect(left, top, right - left, bottom - top);
    capture.cross = QPoint((pointer.x() - left) * factor, (pointer.y() - top) * factor);
    const int reachX = width / 8;
    const int reachY = height / 8;
    capture.horizontalStroke =
        QRect(capture.cross.x() - reachX, capture.cross.y() - factor / 2, 2 * reachX, factor);
    capture.verticalStroke =
        QRect(capture.cross.x() - factor / 2, capture.cross.y() - reachY, factor, 2 * reachY);
    return capture;
}

} // namespace vocalix::windows
