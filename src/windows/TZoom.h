#pragma once

#include <QImage>
#include <QWidget>

class QTimer;

namespace vocalix::windows {

// The screen magnifier, "Экранная лупа": a small window that stays on top and shows the
// surroundings of the mouse pointer enlarged k times (2 … 16, changed with the wheel or the
// + and - keys), with an inverting red cross on the pointer. Its main window is its parent:
// while that is minimised the picture stands still.
class TZoom : public QWidget {
    Q_OBJECT
public:
    explicit TZoom(QWidget* mainWindow = nullptr);

    // Whether the screen can be read here: only on an X11 display (not on Wayland itself, not
    // on the offscreen platform).
    static bool Available();

    QWidget* Image = nullptr; // fills the client area and shows the picture
    QTimer* Timer1 = nullptr; // one capture per tick while the window is shown

    // Shows the window and starts the refresh unless a long command has paused it.
    void Open();
    // Long commands stop the refresh while they run; the last resume restarts it if the
    // window is still shown. Pauses nest.
    void PauseRefresh();
    void ResumeRefresh();
    bool RefreshPaused() const { return m_pauses > 0; }

    int Factor() const { return m_factor; }
    // The picture of the last tick (null after a resize until the next tick).
    const QImage& Picture() const { return m_picture; }

    void Timer1Timer();
    void FormMouseWheelUp();
    void FormMouseWheelDown();

protected:
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormHide();
    void FormResize();

    QImage m_picture;
    int m_factor = 2;
    int m_pauses = 0;
    int m_wheelRest = 0; // wheel movement not yet turned into whole steps
};

} // namespace vocalix::windows
