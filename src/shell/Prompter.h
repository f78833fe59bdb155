#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

class QFileDialog;
class QWidget;

namespace vocalix::shell {

// Buttons of a message box, and the answer given.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };
enum class Icon { None, Information, Warning, Error, Question };

// What an open or save dialog shows. Filter uses Qt's syntax: "Тексты (*.txt);;Все (*)".
struct FileDialogOptions {
    QString title;
    QString filter;
    QString initialDir;
    QString fileName;         // suggested name (save) or preselected file (open)
    QString defaultExtension; // without the dot; added by a save dialog when none is typed
    QString selectedFilter;   // the filter entry chosen when an open dialog appears
};

// Every modal interaction of the program: message boxes and the common dialogs. The window
// shows real dialogs through QtPrompter; the tests script the answers.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A message box; returns the button pressed (Cancel, or No for Yes/No, when closed). The
    // preselected button is Yes or OK unless `preselected` names another.
    virtual Answer Ask(const QString& text, const QString& caption, Buttons buttons, Icon icon,
                       std::optional<Answer> preselected = std::nullopt) = 0;
    // A message box with only OK.
    void Inform(const QString& text, const QString& caption, Icon icon = Icon::Information) {
        Ask(text, caption, Buttons::Ok, icon);
    }

    // Chosen path(s), or empty when the dialog was cancelled.
    virtual QString OpenFile(const FileDialogOptions& options) = 0;
    virtual QStringList OpenFiles(const FileDialogOptions& options) = 0;
    virtual QString SaveFile(const FileDialogOptions& options) = 0;
    virtual QString PickFolder(const QString& title, const QString& initialDir) = 0;

    virtual std::optional<QFont> PickFont(const QFont& initial, const QString& title) = 0;
    virtual std::optional<QColor> PickColor(const QColor& initial, const QString& title) = 0;
    // Choice of a printer among those offered; empty when cancelled.
    virtual QString PickPrinter(const QStringList& printers, const QString& title) = 0;
    // A line of text (a name, a number); nullopt when cancelled.
    virtual std::optional<QString> AskText(const QString& prompt, const QString& caption,
                                           const QString& initial) = 0;
};

// The real dialogs, parented to the given window.
// Qt's own dialogs, buttons and context menus in Russian: installs Qt's Russian translations
// from the folder the Qt installation names. False when they are not installed.
bool LoadQtRussianTranslations();

// The size, view and filter display every file dialog of the program shares.
void PrepareFileDialog(QFileDialog& dialog);

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

    Answer Ask(const QString& text, const QString& caption, Buttons buttons, Icon icon,
               std::optional<Answer> preselected = std::nullopt) override;
    QString OpenFile(const FileDialogOptions& options) override;
    QStringList OpenFiles(const FileDialogOptions& options) override;
    QString SaveFile(const FileDialogOptions& options) override;
    QString PickFolder(const QString& title, const QString& initialDir) override;
    std::optional<QFont> PickFont(const QFont& initial, const QString& title) override;
    std::optional<QColor> PickColor(const QColor& initial, const QString& title) override;
    QString PickPrinter(const QStringList& printers, const QString& title) override;
    std::optional<QString> AskText(const QString& prompt, const QString& caption,
                                   const QString& initial) override;

private:
    QWidget* m_parent;
};

// Captions of the program's message boxes.
inline QString CaptionVocalix() {
    return QStringLiteral("Vocalix");
}
inline QString CaptionOops() {
    return QString::fromUtf8("Опаньки!");
}

} // namespace vocalix::shell
