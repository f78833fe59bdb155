#include "windows/TZoom.h"

#include "windows/ZoomGeometry.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace vocalix::windows {

namespace {

constexpr int kMinFactor = 2;
constexpr int kMaxFactor = 16;

// Paints the magnifier's picture as it is; the ticks replace it.
class ZoomImage : public QWidget {
public:
    ZoomImage(const QImage& picture, QWidget* parent) : QWidget(parent), m_picture(picture) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        if (m_picture.isNull())
            painter.fillRect(rect(), Qt::black);
        else
            painter.drawImage(0, 0, m_picture);
    }

private:
    const QImage& m_picture;
};

} // namespace

TZoom::TZoom(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                              Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Zoom"));
    setWindowTitle(QString::fromUtf8("Экранная лупа"));
    setAccessibleName(QString::fromUtf8("Экранная лупа"));
    setAccessibleDescription(QString::fromUtf8(
        "Увеличенные окрестности курсора мыши. Колесо мыши или клавиши плюс и минус меняют "
        "увеличение от 2 до 16, Esc закрывает окно."));
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Image = new ZoomImage(m_picture, this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setAccessibleName(QString::fromUtf8("Увеличенное изображение"));
    layout->addWidget(Image);
    resize(706, 150);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &TZoom::Timer1Timer);
}

bool TZoom::Available() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

void TZoom::Open() {
    if (m_pauses == 0)
        Timer1->start();
    show();
    raise();
}

void TZoom::PauseRefresh() {
    ++m_pauses;
    Timer1->stop();
}

void TZoom::ResumeRefresh() {
    if (m_pauses > 0)
        --m_pauses;
    if (m_pauses == 0 && isVisible())
        Timer1->start();
}

void TZoom::Timer1Timer() {
    if (const QWidget* main = parentWidget(); main && main->window()->isMinimized())
        return;
    QScreen* screen = QGuiApplication::primaryScreen();
    const int width = Image->width();
    const int height = Image->height();
    if (!screen || width <= 0 || height <= 0)
        return;
    const QRect desktop = screen->geometry();
    const QPoint pointer = QCursor::pos(screen) - desktop.topLeft();
    const ZoomCapture capture =
        CaptureGeometry(pointer, width, height, m_factor, desktop.width(), desktop.height());
    const QRect source = capture.source;
    if (m_picture.size() != QSize(width, height))
        m_picture = QImage(width, height, QImage::Format_RGB32);

    // Where a part of the source lands in the picture.
    const auto inPicture = [&](const QRect& part) {
        const double sx = double(width) / source.width();
        const double sy = double(height) / source.height();
        return QRectF((part.x() - source.x()) * sx, (part.y() - source.y()) * sy, part.width() * sx,
                      part.height() * sy)
            .toAlignedRect();
    };
    QPainter painter(&m_picture);
    const QRect onScreen = source & QRect(QPoint(0, 0), desktop.size());
    if (onScreen != source) // a source larger than the screen: nothing beyond it
        painter.fillRect(m_picture.rect(), Qt::black);
    if (!onScreen.isEmpty()) {
        // The grab is a temporary of this tick only; nothing stays behind between ticks.
        const QPixmap shot =
            screen->grabWindow(0, onScreen.x(), onScreen.y(), onScreen.width(), onScreen.height());
        painter.drawPixmap(inPicture(onScreen), shot);
    }
    // The window's own image would be magnified into itself again on every tick.
    const QRect own = frameGeometry().translated(-desktop.topLeft()) & source;
    if (!own.isEmpty())
        painter.fillRect(inPicture(own), Qt::black);
    // Red under not-xor keeps red and inverts green and blue: the cross shows on any colour.
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    painter.fillRect(capture.horizontalStroke, QColor(255, 0, 0));
    painter.fillRect(capture.verticalStroke, QColor(255, 0, 0));
    painter.end();
    Image->update();
}

void TZoom::FormMouseWheelUp() {
    if (m_factor > kMinFactor)
        --m_factor;
}

void TZoom::FormMouseWheelDown() {
    if (m_factor < kMaxFactor)
        ++m_factor;
}

void TZoom::FormHide() {
    Timer1->stop();
}

void TZoom::FormResize() {
    m_picture = QImage();
}

void TZoom::hideEvent(QHideEvent* event) {
    // A window manager that hides the window along with the minimised main window does not
    // close the magnifier.
    if (!event->spontaneous())
        FormHide();
    QWidget::hideEvent(event);
}

void TZoom::resizeEvent(QResizeEvent* event) {
    FormResize();
    QWidget::resizeEvent(event);
}

void TZoom::wheelEvent(QWheelEvent* event) {
    // One step per notch; finer wheels and touch pads add up to notches.
    m_wheelRest += event->angleDelta().y();
    for (; m_wheelRest >= QWheelEvent::DefaultDeltasPerStep;
         m_wheelRest -= QWheelEvent::DefaultDeltasPerStep)
        FormMouseWheelUp();
    for (; m_wheelRest <= -QWheelEvent::DefaultDeltasPerStep;
         m_wheelRest += QWheelEvent::DefaultDeltasPerStep)
        FormMouseWheelDown();
    event->accept();
}

void TZoom::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        FormMouseWheelDown();
        break;
    case Qt::Key_Minus:
        FormMouseWheelUp();
        break;
    case Qt::Key_Escape:
        close();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace vocalix::windows
