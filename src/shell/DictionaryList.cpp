#include "shell/DictionaryList.h"

#include "base/QtText.h"
#include "textprep/Dictionaries.h"
#include "textprep/DictionaryPanel.h"

#include <QKeyEvent>
#include <QListWidget>

namespace vocalix::shell {

DictionaryList::DictionaryList(QListWidget* list) : QObject(list), m_list(list) {
    m_list->setObjectName(QStringLiteral("CheckListBox1"));
    m_list->setToolTip(QString::fromUtf8("Редактирование: Enter или DblClic на словаре"));
    m_list->setMinimumWidth(50);
    // The panel's own order (without regard to case) decides the order of the selection.
    m_list->setSortingEnabled(false);
    m_list->resize(121, m_list->height());
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->hide();
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem*) {
        if (!m_filling && onClickCheck)
            onClickCheck();
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) {
        if (onEdit)
            onEdit();
    });
}

void DictionaryList::Refill(const std::filesystem::path& programDir) {
    std::vector<std::string> names =
        textprep::ListDictionaryFiles(textprep::DictionaryFolder(programDir));
    textprep::SortDictionaryNames(names);
    m_filling = true;
    m_list->clear();
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(base::ToQString(name), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setSizeHint(QSize(item->sizeHint().width(), 22));
    }
    m_filling = false;
}

std::vector<std::string> DictionaryList::Items() const {
    std::vector<std::string> items;
    for (int i = 0; i < m_list->count(); ++i)
        items.push_back(base::FromQString(m_list->item(i)->text()));
    return items;
}

void DictionaryList::SetChecks(std::string_view selection) {
    const std::vector<std::string> items = Items();
    std::vector<bool> checks(items.size());
    for (int i = 0; i < m_list->count(); ++i)
        checks[i] = m_list->item(i)->checkState() == Qt::Checked;
    textprep::SetChecks(items, checks, selection);
    m_filling = true;
    for (int i = 0; i < m_list->count(); ++i)
        if (checks[i])
            m_list->item(i)->setCheckState(Qt::Checked);
    m_filling = false;
}

std::string DictionaryList::CheckedItemsToStr() const {
    const std::vector<std::string> items = Items();
    std::vector<bool> checks(items.size());
    for (int i = 0; i < m_list->count(); ++i)
        checks[i] = m_list->item(i)->checkState() == Qt::Checked;
    return textprep::CheckedItemsToStr(items, checks);
}

std::string DictionaryList::HighlightedItem() const {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (!selected.isEmpty())
        return base::FromQString(selected.front()->text());
    return {};
}

bool DictionaryList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (onEdit)
                onEdit();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vocalix::shell
