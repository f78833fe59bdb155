#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace vocalix::shell {

// The bookmarks dialog "Закладки": the page's bookmarks as list entries (see BookmarkEntry);
// going to one, deleting one or all. The main window reads the outcome after it closes.
class TZakBox : public QDialog {
    Q_OBJECT
public:
    explicit TZakBox(QWidget* parent = nullptr);

    // Fills the list with the entries (Windows-1251) and selects the first.
    void SetEntries(const std::vector<std::string>& entries);
    std::vector<std::string> Entries() const;

    // Handlers.
    void GoButtonClick();
    void DelButtonClick();
    void DelAllButtonClick();
    void ESCButtonClick();

    // Asks whether to delete every bookmark; set by the main window (through its Prompter).
    std::function<bool()> ConfirmDeleteAll;

    // After the dialog: the position chosen with "П  Е  Р  Е  Й  Т  И", if any, and whether
    // the entries were changed (then BookmarksFromEntries(Entries()) is the new string).
    std::optional<int> ChosenPosition() const { return m_chosen; }
    bool Changed() const { return m_changed; }

    QListWidget* ListBox1 = nullptr;
    QPushButton* btSort = nullptr;
    QPushButton* btSave = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* btESC = nullptr;

private:
    std::optional<int> m_chosen;
    bool m_changed = false;
};

} // namespace vocalix::shell
