#include "shell/DeferredStart.h"

#include "shell/TForm1.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWindow>

namespace vocalix::shell {

namespace {

constexpr char kProperty[] = "vocalixPagesAfterShow";

// Waits on the window for its first expose; the restore is queued behind it, so the paint
// that the expose asks for reaches the screen first.
class ExposeWatch : public QObject {
public:
    ExposeWatch(QWindow* window, TForm1& form) : QObject(window), m_form(&form) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, m_form, [form = m_form] {
                if (form)
                    form->FinishStart();
            });
            deleteLater();
        }
        return false;
    }

private:
    QPointer<TForm1> m_form;
};

} // namespace

void SetPagesRestoredAfterShow(bool later) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->setProperty(kProperty, later);
}

bool PagesRestoredAfterShow() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->property(kProperty).toBool();
}

void FinishStartOnceExposed(TForm1& form) {
    if (QWindow* window = form.windowHandle())
        new ExposeWatch(window, form);
    QTimer::singleShot(2000, &form, [&form] { form.FinishStart(); });
}

void TForm1::FinishStart() {
    if (!m_startPending || m_destroyed)
        return;
    m_startPending = false;
    RestorePages();
    FormCreateAfterPages();
    if (isVisible())
        FormShow();
}

} // namespace vocalix::shell
