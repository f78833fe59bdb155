#pragma once

#include <QPoint>
#include <QRect>

namespace vocalix::windows {

// Where one magnifier tick reads the screen and where it draws the pointer's cross.
struct ZoomCapture {
    QRect source; // screen rectangle copied, stretched, onto the whole picture
    QPoint cross; // the pointer's place in the picture
    QRect horizontalStroke;
    QRect verticalStroke; // the two strokes of the cross; each pixel of one is inverted
};

// The capture around the pointer (x, y) for a picture of `width` × `height` at magnification
// `factor`, on a screen of `screenWidth` × `screenHeight`. The source is centred on the
// pointer with half sizes rounded half to even and then pushed back onto the screen left,
// top, right, bottom in that order; the cross strokes are `factor` thick and reach width div 8
// and height div 8 from the pointer's place.
ZoomCapture CaptureGeometry(QPoint pointer, int width, int height, int factor, int screenWidth,
                            int screenHeight);

} // namespace vocalix::windows
