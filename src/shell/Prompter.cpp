#include "shell/Prompter.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

namespace vocalix::shell {

Answer QtPrompter::Ask(const QString& text, const QString& caption, Buttons buttons, Icon icon,
                       std::optional<Answer> preselected) {
    QMessageBox box(m_parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    if (buttons == Buttons::Ok || buttons == Buttons::OkCancel)
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    if (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) {
        yes = box.addButton(QString::fromUtf8("Да"), QMessageBox::YesRole);
        no = box.addButton(QString::fromUtf8("Нет"), QMessageBox::NoRole);
    }
    if (buttons == Buttons::OkCancel || buttons == Buttons::YesNoCancel)
        cancel = box.addButton(QString::fromUtf8("Отмена"), QMessageBox::RejectRole);
    QPushButton* byAnswer[] = {ok, cancel, yes, no}; // in the order of Answer
    QPushButton* chosen = preselected ? byAnswer[static_cast<int>(*preselected)] : nullptr;
    box.setDefaultButton(chosen ? chosen : yes ? yes : ok);
    if (cancel)
        box.setEscapeButton(cancel);
    else if (no)
        box.setEscapeButton(no);
    box.exec();
    const auto* clicked = box.clickedButton();
    if (clicked == ok && ok)
        return Answer::Ok;
    if (clicked == yes && yes)
        return Answer::Yes;
    if (clicked == no && no)
        return Answer::No;
    if (buttons == Buttons::YesNo)
        return Answer::No;
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

namespace {

QString StartPath(const FileDialogOptions& options) {
    if (options.fileName.isEmpty())
        return options.initialDir;
    if (options.initialDir.isEmpty())
        return options.fileName;
    return options.initialDir + QLatin1Char('/') + options.fileName;
}

} // namespace

bool LoadQtRussianTranslations() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void PrepareFileDialog(QFileDialog& dialog) {
    // The filter entries read as written; their patterns stay with the dialog.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setViewMode(QFileDialog::Detail);
    // Room for the name, size, type and date columns.
    dialog.resize(860, 520);
}

QString QtPrompter::OpenFile(const FileDialogOptions& options) {
    QFileDialog dialog(m_parent, options.title, StartPath(options), options.filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    PrepareFileDialog(dialog);
    if (!options.selectedFilter.isEmpty())
        dialog.selectNameFilter(options.selectedFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

QStringList QtPrompter::OpenFiles(const FileDialogOptions& options) {
    QFileDialog dialog(m_parent, options.title, StartPath(options), options.filter);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    PrepareFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString QtPrompter::SaveFile(const FileDialogOptions& options) {
    QFileDialog dialog(m_parent, options.title, options.initialDir, options.filter);
    PrepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!options.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(options.defaultExtension);
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

QString QtPrompter::PickFolder(const QString& title, const QString& initialDir) {
    return QFileDialog::getExistingDirectory(m_parent, title, initialDir);
}

std::optional<QFont> QtPrompter::PickFont(const QFont& initial, const QString& title) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, m_parent, title);
    if (!ok)
        return std::nullopt;
    return font;
}

std::optional<QColor> QtPrompter::PickColor(const QColor& initial, const QString& title) {
    const QColor color = QColorDialog::getColor(initial, m_parent, title);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

QString QtPrompter::PickPrinter(const QStringList& printers, const QString& title) {
    bool ok = false;
    const QString printer = QInputDialog::getItem(m_parent, title, QString::fromUtf8("Принтер:"),
                                                  printers, 0, false, &ok);
    return ok ? printer : QString();
}

std::optional<QString> QtPrompter::AskText(const QString& prompt, const QString& caption,
                                           const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

} // namespace vocalix::shell
