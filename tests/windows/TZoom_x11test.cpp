// The magnifier on a real X server: a picture whose every pixel names its own coordinates
// covers the screen, the pointer is moved with xdotool, and each pixel of the magnified
// image is traced back to the screen pixel it shows.
#include "QtTestMain.h"
#include "windows/TZoom.h"
#include "windows/ZoomGeometry.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

using vocalix::windows::CaptureGeometry;
using vocalix::windows::TZoom;

namespace {

// Red and green carry the low bytes of x and y, blue their high nibbles.
QRgb PatternAt(int x, int y) {
    return qRgb(x & 255, y & 255, (x >> 8) | ((y >> 8) << 4));
}

QPoint CoordinatesOf(QRgb pixel) {
    return {qRed(pixel) | ((qBlue(pixel) & 15) << 8), qGreen(pixel) | ((qBlue(pixel) >> 4) << 8)};
}

// What red drawn in not-xor mode leaves of a pixel: red kept, green and blue inverted.
QRgb Uninverted(QRgb pixel) {
    return qRgb(qRed(pixel), 255 - qGreen(pixel), 255 - qBlue(pixel));
}

class PatternWindow : public QWidget {
public:
    PatternWindow() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        m_image = QImage(screen.size(), QImage::Format_RGB32);
        for (int y = 0; y < m_image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(y));
            for (int x = 0; x < m_image.width(); ++x)
                line[x] = PatternAt(x, y);
        }
        setGeometry(screen);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, m_image); }

private:
    QImage m_image;
};

} // namespace

class TZoomTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void magnifiesAroundThePointer();
    void topLeftCornerStartsAtOrigin();
    void wheelStepsStopAtTwoAndSixteen();
    void widerWindowReadsWiderStrip();
    void ownWindowIsNotCaptured();
    void minimisedMainWindowFreezesThePicture();

private:
    static void Xdotool(const QStringList& arguments) {
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), arguments), 0);
    }
    static void MovePointer(int x, int y) {
        Xdotool({QStringLiteral("mousemove"), QString::number(x), QString::number(y)});
        QTRY_COMPARE(QCursor::pos(), QPoint(x, y));
    }
    // One tick with the timer held, then every pixel of the picture checked.
    void TickAndCheck(QPoint pointer);

    std::unique_ptr<PatternWindow> m_pattern;
    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<TZoom> m_zoom;
};

void TZoomTest::initTestCase() {
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY(TZoom::Available());
    m_pattern = std::make_unique<PatternWindow>();
    m_pattern->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pattern.get()));
}

void TZoomTest::init() {
    m_main = std::make_unique<QWidget>();
    m_zoom = std::make_unique<TZoom>(m_main.get());
    m_zoom->move(1100, 850);
    m_zoom->Open();
    QVERIFY(QTest::qWaitForWindowExposed(m_zoom.get()));
    QCOMPARE(m_zoom->Image->size(), QSize(706, 150));
}

void TZoomTest::cleanup() {
    m_zoom.reset();
    m_main.reset();
}

void TZoomTest::TickAndCheck(QPoint pointer) {
    m_zoom->Timer1->stop();
    MovePointer(pointer.x(), pointer.y());
    m_zoom->Timer1Timer();
    const QImage picture = m_zoom->Picture();
    QCOMPARE(picture.size(), m_zoom->Image->size());
    const int width = picture.width();
    const int height = picture.height();
    const auto capture = CaptureGeometry(pointer, width, height, m_zoom->Factor(), 1920, 1080);
    const QRect source = capture.source;
    int inverted = 0;
    for (int v = 0; v < height; ++v) {
        for (int u = 0; u < width; ++u) {
            QRgb pixel = picture.pixel(u, v);
            // Where the two strokes cross, the pixel is inverted twice: itself again.
            if (capture.horizontalStroke.contains(u, v) != capture.verticalStroke.contains(u, v)) {
                pixel = Uninverted(pixel);
                ++inverted;
            }
            // The screen pixel shown here, up to one pixel either way where the stretch
            // factor is not a whole number.
            const QPoint shown = CoordinatesOf(pixel);
            const double x = source.x() + (u + 0.5) * source.width() / width;
            const double y = source.y() + (v + 0.5) * source.height() / height;
            if (std::abs(shown.x() - x) > 1.0 || std::abs(shown.y() - y) > 1.0)
                QFAIL(qPrintable(QStringLiteral("picture pixel %1,%2 shows %3,%4, expected about "
                                                "%5,%6")
                                     .arg(u)
                                     .arg(v)
                                     .arg(shown.x())
                                     .arg(shown.y())
                                     .arg(x)
                                     .arg(y)));
        }
    }
    QVERIFY(inverted > 0);
}

void TZoomTest::magnifiesAroundThePointer() {
    TickAndCheck({800, 500});
    // The cross sits on the pointer, near the picture's centre.
    const QPoint pointer = CoordinatesOf(m_zoom->Picture().pixel(352, 76));
    QVERIFY((pointer - QPoint(800, 500)).manhattanLength() <= 2);
}

void TZoomTest::topLeftCornerStartsAtOrigin() {
    TickAndCheck({0, 0});
    const QImage picture = m_zoom->Picture();
    // Source at 0,0; the cross is drawn from the corner, not from the centre.
    QCOMPARE(CoordinatesOf(Uninverted(picture.pixel(20, 0))), QPoint(10, 0));
    QCOMPARE(CoordinatesOf(Uninverted(picture.pixel(0, 10))), QPoint(0, 5));
    QCOMPARE(CoordinatesOf(picture.pixel(353, 75)), QPoint(176, 38));
}

void TZoomTest::wheelStepsStopAtTwoAndSixteen() {
    QCOMPARE(m_zoom->Factor(), 2);
    const QPoint inside = m_zoom->mapToGlobal(QPoint(300, 70));
    MovePointer(inside.x(), inside.y());
    const auto wheel = [](const char* button, int steps) {
        Xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(steps),
                 QStringLiteral("--delay"), QStringLiteral("20"), QLatin1String(button)});
    };
    wheel("5", 10); // down
    QTRY_COMPARE(m_zoom->Factor(), 12);
    wheel("5", 10);
    QTRY_COMPARE(m_zoom->Factor(), 16);
    QTest::qWait(100);
    QCOMPARE(m_zoom->Factor(), 16);
    // Hidden and shown again, the factor stays.
    m_zoom->close();
    m_zoom->Open();
    QVERIFY(QTest::qWaitForWindowExposed(m_zoom.get()));
    QCOMPARE(m_zoom->Factor(), 16);
    MovePointer(inside.x(), inside.y());
    wheel("4", 20); // up
    QTRY_COMPARE(m_zoom->Factor(), 2);
    QTest::qWait(100);
    QCOMPARE(m_zoom->Factor(), 2);
    // The keyboard does the same.
    QTest::keyClick(m_zoom.get(), Qt::Key_Plus);
    QCOMPARE(m_zoom->Factor(), 3);
    QTest::keyClick(m_zoom.get(), Qt::Key_Minus);
    QCOMPARE(m_zoom->Factor(), 2);
}

void TZoomTest::widerWindowReadsWiderStrip() {
    // The screen columns shown at the picture's left and right edges.
    const auto span = [this] {
        const QImage picture = m_zoom->Picture();
        const int y = picture.height() - 1;
        return CoordinatesOf(picture.pixel(picture.width() - 1, y)).x() -
               CoordinatesOf(picture.pixel(0, y)).x();
    };
    TickAndCheck({800, 500});
    const int narrow = span();
    m_zoom->resize(1412, 150);
    QTRY_COMPARE(m_zoom->Image->width(), 1412);
    QVERIFY(m_zoom->Picture().isNull()); // dropped, made again at the new size
    TickAndCheck({800, 500});
    QCOMPARE(m_zoom->Factor(), 2);
    QCOMPARE(narrow, 351);
    QCOMPARE(span(), 705);
}

void TZoomTest::ownWindowIsNotCaptured() {
    // Let the window show a magnified picture first, so that it is not black itself.
    MovePointer(800, 500);
    QTest::qWait(200);
    QVERIFY(!m_zoom->Picture().isNull());
    // The magnifier at 1100,850: the pointer just above it puts part of it in the source.
    m_zoom->Timer1->stop();
    MovePointer(1300, 840);
    m_zoom->Timer1Timer();
    const QImage picture = m_zoom->Picture();
    // Screen 1300,860 lies on the magnifier; 1300,845 lies on the pattern above it.
    const auto capture = CaptureGeometry({1300, 840}, 706, 150, 2, 1920, 1080);
    const auto at = [&](int x, int y) {
        return picture.pixel(int((x - capture.source.x() + 0.5) * 706.0 / capture.source.width()),
                             int((y - capture.source.y() + 0.5) * 150.0 / capture.source.height()));
    };
    QCOMPARE(at(1300 - 60, 860), qRgb(0, 0, 0));
    QCOMPARE(at(1300 + 60, 870), qRgb(0, 0, 0));
    QCOMPARE(CoordinatesOf(at(1300 - 60, 845)), QPoint(1240, 845));
}

void TZoomTest::minimisedMainWindowFreezesThePicture() {
    m_main->setGeometry(0, 950, 200, 100); // away from what is magnified
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    m_zoom->raise();
    TickAndCheck({800, 500});
    const QImage before = m_zoom->Picture();
    m_main->showMinimized();
    QTRY_VERIFY(m_main->isMinimized());
    MovePointer(400, 300);
    m_zoom->Timer1Timer();
    QCOMPARE(m_zoom->Picture(), before);
    m_main->showNormal();
    QTRY_VERIFY(!m_main->isMinimized());
    TickAndCheck({400, 300});
}

VOCALIX_QTEST_MAIN(TZoomTest)
#include "TZoom_x11test.moc"
