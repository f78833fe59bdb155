// The screen magnifier: its command and the pause of its refresh during long commands.
#include "shell/TForm1.h"
#include "windows/TZoom.h"

namespace vocalix::shell {

namespace {

windows::TZoom* ZoomOf(const TForm1& form) {
    return static_cast<windows::TZoom*>(form.Zoom);
}

} // namespace

void TForm1::CreateZoom() {
    if (!Zoom)
        Zoom = new windows::TZoom(this);
}

void TForm1::AZoomExecute() {
    CreateZoom();
    if (!windows::TZoom::Available()) {
        m_prompter.Inform(
            QString::fromUtf8("Экранная лупа здесь недоступна: она читает экран только в сеансе "
                              "X11. В сеансе Wayland с XWayland запустите программу с "
                              "переменной окружения QT_QPA_PLATFORM=xcb."),
            CaptionVocalix(), Icon::Information);
        return;
    }
    ZoomOf(*this)->Open();
}

void TForm1::PauseMagnifier() {
    if (Zoom)
        ZoomOf(*this)->PauseRefresh();
}

void TForm1::ResumeMagnifier() {
    if (Zoom)
        ZoomOf(*this)->ResumeRefresh();
}

} // namespace vocalix::shell
