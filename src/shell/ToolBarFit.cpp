#include "shell/ToolBarFit.h"

#include <QEvent>
#include <QLayout>
#include <QToolBar>

#include <algorithm>

namespace vocalix::shell {

namespace {

class FitFilter : public QObject {
public:
    FitFilter(QToolBar* bar, QWidget* stretchy, int widest, int narrowest)
        : QObject(bar), m_bar(bar), m_stretchy(stretchy), m_widest(widest), m_narrowest(narrowest) {
    }

    void Fit() {
        // The bar's wish with the control at its widest, less what the bar really has.
        const int others = m_bar->layout()->sizeHint().width() - m_stretchy->width();
        const int room = m_bar->width() - others;
        const int width = std::clamp(room, m_narrowest, m_widest);
        if (width != m_stretchy->width())
            m_stretchy->setFixedWidth(width);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_bar && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
            Fit();
        return false;
    }

private:
    QToolBar* m_bar;
    QWidget* m_stretchy;
    int m_widest;
    int m_narrowest;
};

} // namespace

void FitWidgetToToolBar(QToolBar* bar, QWidget* stretchy, int widest, int narrowest) {
    stretchy->setFixedWidth(widest);
    bar->installEventFilter(new FitFilter(bar, stretchy, widest, narrowest));
}

} // namespace vocalix::shell
