#include "shell/AccessibleNames.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

namespace vocalix::shell {

void NameControlsFromHints(QWidget* root) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        const QString tip = widget->toolTip();
        if (widget->accessibleName().isEmpty() && !tip.isEmpty())
            widget->setAccessibleName(tip);
        const QString status = widget->statusTip();
        if (widget->accessibleDescription().isEmpty() && !status.isEmpty() &&
            status != widget->accessibleName())
            widget->setAccessibleDescription(status);
        // The drop-down list of a combo box is read as part of it.
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            combo->view()->setAccessibleName(combo->accessibleName());
        // The toolbar's own button that shows what does not fit.
        if (auto* bar = qobject_cast<QToolBar*>(widget)) {
            const auto more = bar->findChildren<QToolButton*>(
                QStringLiteral("qt_toolbar_ext_button"), Qt::FindDirectChildrenOnly);
            for (QToolButton* button : more)
                button->setAccessibleName(
                    QString::fromUtf8("Другие кнопки панели «%1»").arg(bar->windowTitle()));
        }
    }
}

} // namespace vocalix::shell
