#pragma once

#include <QDialog>
#include <filesystem>

class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace vocalix::shell {

// The user's manual in a window of its own: the contents (the manual's headings) on the left,
// the text on the right, a search line above. Works on every machine, with or without a
// desktop's web browser.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    HelpWindow(const std::filesystem::path& htmlFile, QWidget* parent);

    QListWidget* contents() const { return m_contents; }
    QTextBrowser* browser() const { return m_browser; }
    QLineEdit* searchLine() const { return m_search; }
    // Selects the next occurrence of the search line's text after the cursor, from the top
    // when none is left; false when the text does not occur at all.
    bool FindNext();
    // Shows the heading of contents entry `row` at the top of the text.
    void ShowEntry(int row);

private:
    void FillContents();
    QListWidget* m_contents = nullptr;
    QTextBrowser* m_browser = nullptr;
    QLineEdit* m_search = nullptr;
};

} // namespace vocalix::shell
