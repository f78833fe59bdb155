#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vocalix::shell {

// The modeless find dialog and the find-and-replace dialog of the pages (one class, two
// modes): the text to find, the replacement, match case, and the buttons. The window
// connects the signals to its handlers.
class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    FindReplaceDialog(bool withReplace, QWidget* parent);

    std::string FindText() const;
    void SetFindText(const std::string& cp1251);
    std::string ReplaceText() const;
    void SetReplaceText(const std::string& cp1251);
    bool MatchCase() const;
    void SetMatchCase(bool on);

signals:
    void Find();
    void Replace();
    void ReplaceAll();

private:
    QLineEdit* m_find = nullptr;
    QLineEdit* m_replace = nullptr;
    QCheckBox* m_matchCase = nullptr;
};

// Switches the keyboard to a Russian layout where the user has one (X11); otherwise nothing.
// True when the layout was switched.
bool SwitchKeyboardToRussian();

} // namespace vocalix::shell
