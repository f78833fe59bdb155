#include "shell/FindReplaceDialog.h"

#include "base/QtText.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vocalix::shell {
namespace {

using base::U;

QPushButton* AddButton(QGridLayout* grid, int row, const char* name, const char* caption) {
    auto* button = new QPushButton(U(caption));
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(U(caption).remove(QLatin1Char('&')));
    grid->addWidget(button, row, 2);
    return button;
}

} // namespace

FindReplaceDialog::FindReplaceDialog(bool withReplace, QWidget* parent) : QDialog(parent) {
    setObjectName(withReplace ? QStringLiteral("ReplaceDialog1") : QStringLiteral("FindDialog1"));
    setWindowTitle(withReplace ? U("Заменить") : U("Найти"));
    setModal(false);
    auto* grid = new QGridLayout(this);

    auto* findLabel = new QLabel(U("&Образец:"));
    m_find = new QLineEdit;
    m_find->setObjectName(QStringLiteral("FindText"));
    m_find->setAccessibleName(U("Образец"));
    findLabel->setBuddy(m_find);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(m_find, 0, 1);
    int row = 1;
    if (withReplace) {
        auto* replaceLabel = new QLabel(U("&Заменить на:"));
        m_replace = new QLineEdit;
        m_replace->setObjectName(QStringLiteral("ReplaceText"));
        m_replace->setAccessibleName(U("Заменить на"));
        replaceLabel->setBuddy(m_replace);
        grid->addWidget(replaceLabel, row, 0);
        grid->addWidget(m_replace, row, 1);
        ++row;
    }
    m_matchCase = new QCheckBox(U("&С учетом регистра"));
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    m_matchCase->setAccessibleName(U("С учетом регистра"));
    grid->addWidget(m_matchCase, row, 0, 1, 2);

    QPushButton* find = AddButton(grid, 0, "FindNext", "&Найти далее");
    find->setDefault(true);
    connect(find, &QPushButton::clicked, this, &FindReplaceDialog::Find);
    int buttonRow = 1;
    if (withReplace) {
        connect(AddButton(grid, buttonRow++, "ReplaceOne", "За&менить"), &QPushButton::clicked,
                this, &FindReplaceDialog::Replace);
        connect(AddButton(grid, buttonRow++, "ReplaceAll", "Заменить &все"), &QPushButton::clicked,
                this, &FindReplaceDialog::ReplaceAll);
    }
    connect(AddButton(grid, buttonRow, "CloseDialog", "Закрыть"), &QPushButton::clicked, this,
            &QDialog::close);
}

std::string FindReplaceDialog::FindText() const {
    return base::FromQString(m_find->text());
}

void FindReplaceDialog::SetFindText(const std::string& cp1251) {
    m_find->setText(base::ToQString(cp1251));
    m_find->selectAll();
}

std::string FindReplaceDialog::ReplaceText() const {
    return m_replace ? base::FromQString(m_replace->text()) : std::string();
}

void FindReplaceDialog::SetReplaceText(const std::string& cp1251) {
    if (m_replace)
        m_replace->setText(base::ToQString(cp1251));
}

bool FindReplaceDialog::MatchCase() const {
    return m_matchCase->isChecked();
}

void FindReplaceDialog::SetMatchCase(bool on) {
    m_matchCase->setChecked(on);
}

} // namespace vocalix::shell
