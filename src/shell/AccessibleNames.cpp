#include "shell/AccessibleNames.h"

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
    }
}

} // namespace vocalix::shell
