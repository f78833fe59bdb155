#include "windows/TAboutBox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vocalix::windows {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QString::fromUtf8("О программе"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("<h2>Vocalix</h2>"), this);
    name->setObjectName(QStringLiteral("ProductName"));
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto* version =
        new QLabel(QString::fromUtf8("Версия %1").arg(QStringLiteral(VOCALIX_VERSION)), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    auto* comments = new QLabel(
        QString::fromUtf8("Говорящий текстовый редактор для русских текстов: читает текст вслух,\n"
                          "записывает его в аудиофайлы и готовит к чтению словарями и правилами."),
        this);
    comments->setObjectName(QStringLiteral("Comments"));
    comments->setAlignment(Qt::AlignCenter);
    comments->setWordWrap(true);
    layout->addWidget(comments);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace vocalix::windows
