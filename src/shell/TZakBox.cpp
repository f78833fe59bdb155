#include "shell/TZakBox.h"

#include "base/QtText.h"
#include "shell/Bookmarks.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vocalix::shell {

TZakBox::TZakBox(QWidget* parent) : QDialog(parent) {
    setObjectName("TZakBox");
    setWindowTitle(QString::fromUtf8("Закладки"));
    auto* top = new QVBoxLayout(this);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setAccessibleName(QString::fromUtf8("Список закладок"));
    ListBox1->setFixedWidth(680);
    // The position at the end of each entry stays out of sight.
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox1->setTextElideMode(Qt::ElideNone);
    ListBox1->setWordWrap(false);
    top->addWidget(ListBox1);

    auto make = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    btSort = make("btSort", "Удалить");
    btSave = make("btSave", "Удалить ВСЕ");
    Button1 = make("Button1", "П  Е  Р  Е  Й  Т  И");
    Button1->setDefault(true);
    btESC = make("btESC", "ESC");
    auto* row = new QHBoxLayout;
    row->addWidget(btSort);
    row->addWidget(btSave);
    row->addWidget(Button1, 1);
    row->addWidget(btESC);
    top->addLayout(row);

    connect(btSort, &QPushButton::clicked, this, &TZakBox::DelButtonClick);
    connect(btSave, &QPushButton::clicked, this, &TZakBox::DelAllButtonClick);
    connect(Button1, &QPushButton::clicked, this, &TZakBox::GoButtonClick);
    connect(btESC, &QPushButton::clicked, this, &TZakBox::ESCButtonClick);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TZakBox::GoButtonClick);
    setFixedSize(sizeHint());
}

void TZakBox::SetEntries(const std::vector<std::string>& entries) {
    ListBox1->clear();
    for (const auto& e : entries)
        ListBox1->addItem(base::ToQString(e));
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
    m_chosen.reset();
    m_changed = false;
}

std::vector<std::string> TZakBox::Entries() const {
    std::vector<std::string> entries;
    for (int i = 0; i < ListBox1->count(); ++i)
        entries.push_back(base::FromQString(ListBox1->item(i)->text()));
    return entries;
}

void TZakBox::GoButtonClick() {
    if (ListBox1->count() > 0 && ListBox1->currentRow() >= 0)
        m_chosen = BookmarkEntryPosition(base::FromQString(ListBox1->currentItem()->text()));
    accept();
}

void TZakBox::DelButtonClick() {
    const int row = ListBox1->currentRow();
    if (row < 0)
        return;
    delete ListBox1->takeItem(row);
    m_changed = true;
    // The next entry (or the new last one) is selected, so "Удалить" can be pressed again.
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(std::min(row, ListBox1->count() - 1));
}

void TZakBox::DelAllButtonClick() {
    if (!ConfirmDeleteAll || !ConfirmDeleteAll())
        return;
    ListBox1->clear();
    m_changed = true;
    accept();
}

void TZakBox::ESCButtonClick() {
    reject();
}

} // namespace vocalix::shell
