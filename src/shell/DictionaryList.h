#pragma once

#include <QObject>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QListWidget;

namespace vocalix::shell {

// The dictionary check list CheckListBox1: fills it from the dictionary folder in the panel's
// sort order, sets and reads its check marks as a selection string, and reports check clicks,
// Enter and double clicks. All names are Windows-1251.
class DictionaryList : public QObject {
    Q_OBJECT
public:
    // Takes the widget as the main window created it and gives it the panel's properties
    // (hint, item height 22, width 121, minimum width 50, hidden).
    explicit DictionaryList(QListWidget* list);

    QListWidget* Widget() const { return m_list; }

    // Clears the items and adds the dictionaries of ProgramDir + "dic", sorted.
    void Refill(const std::filesystem::path& programDir);
    // Checks the items named in the selection (never clears one).
    void SetChecks(std::string_view selection);
    // The checked items in panel order joined by "+".
    std::string CheckedItemsToStr() const;
    // The highlighted item's text; empty when none is highlighted.
    std::string HighlightedItem() const;
    std::vector<std::string> Items() const;

    // Called when the user ticks or unticks an item (CheckListBox1OnClickCheck).
    std::function<void()> onClickCheck;
    // Called for Enter (CheckListBox1KeyPress) and for a double click on an item.
    std::function<void()> onEdit;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* m_list;
    bool m_filling = false;
};

} // namespace vocalix::shell
