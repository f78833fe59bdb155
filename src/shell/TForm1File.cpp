// Documents: opening, creating, saving and printing; office documents; the picture panel.
#include "shell/TForm1.h"

#include "base/QtText.h"
#include "documents/DocumentFiles.h"
#include "documents/OpenDocument.h"
#include "shell/Printing.h"

#include <QLabel>
#include <QToolBar>

namespace vocalix::shell {
namespace fs = std::filesystem;

namespace {

using base::U;

QString PathText(const std::string& cp1251Path) {
    return QString::fromStdString(FsPath(cp1251Path).string());
}

// The open dialog's eight entries; the seventh, every supported format, is preselected.
const char* const kOpenFilterEntries[] = {
    "Текстовые файлы (.txt) (*.txt)",
    "Веб-страницы (.html, .htm, .shtml) (*.html *.htm *.shtml)",
    "Электронные книги (.fb2) (*.fb2)",
    "Тексты в формате RTF (*.rtf)",
    "Документы Word (.doc, .docx) (*.doc *.docx)",
    "Словари произношения (.dic, .ini) (*.dic *.ini)",
    "Все поддерживаемые форматы (*.txt *.html *.htm *.shtml *.fb2 *.epub *.rtf *.doc *.docx "
    "*.dic *.ini)",
    "Все файлы (*)",
};

} // namespace

QStringList TForm1::OpenFilterEntries() {
    QStringList entries;
    for (const char* e : kOpenFilterEntries)
        entries << U(e);
    return entries;
}

TForm1::OpenOutcome TForm1::XOpenTo(std::string& fileName, const std::string& targetFolder) {
    const documents::OpenResult r = documents::OpenDocument(
        FsPath(fileName).string(),
        targetFolder.empty() ? std::string() : FsPath(targetFolder).string(), m_options.PicImport,
        OfficeConversion);
    using Status = documents::OpenResult::Status;
    if (r.status == Status::Unreadable) {
        // The page keeps its text and its name: saving it must not overwrite the unread file.
        QString message = U("Не удалось прочитать файл ") + PathText(fileName);
        if (!r.readError.empty()) // a broken book says what is wrong with it
            message += "\n" + base::ToQString(r.readError);
        m_prompter.Inform(message, CaptionVocalix(), Icon::Warning);
        return OpenOutcome::Unchanged;
    }
    if (r.status == Status::WordMissing) {
        fileName.clear();
        m_prompter.Inform(r.officeError.empty() ? U("Не найден Microsoft Word")
                                                : base::ToQString(r.officeError),
                          CaptionVocalix(), Icon::Information);
        // The page keeps its text; edits not yet saved must still be asked about on closing.
        return ActiveEditor->Modified() ? OpenOutcome::OpenedUnsaved : OpenOutcome::Opened;
    }
    ActiveEditor->BeginUpdate();
    ActiveEditor->SetText(r.text);
    ActiveEditor->EndUpdate();
    fileName = CpPath(fs::path(r.fileName));
    if (!r.pictureError.empty())
        m_prompter.Inform(base::ToQString(r.pictureError), CaptionVocalix(), Icon::Warning);
    OpenOutcome outcome = OpenOutcome::Opened;
    if (!r.writeError.empty()) {
        m_prompter.Inform(base::ToQString(r.writeError), CaptionVocalix(), Icon::Warning);
        outcome = OpenOutcome::OpenedUnsaved;
    }
    if (r.modified) { // the file read is left as it was; the repaired text waits for a save
        ActiveEditor->SetModified(true);
        outcome = OpenOutcome::OpenedUnsaved;
    }
    StatusExecute();
    if (!r.notice.empty())
        StatusPanel[5]->setText(base::ToQString(r.notice));
    return outcome;
}

void TForm1::XOpen(const std::string& fileName) {
    std::string name = fileName;
    if (XOpenTo(name, "") != OpenOutcome::Unchanged)
        CurrentFileName = name;
}

bool TForm1::OpenIntoActivePage(const std::string& fileName) {
    std::string name = fileName;
    OpenOutcome outcome = OpenOutcome::Unchanged;
    try {
        outcome = XOpenTo(name, "");
    } catch (const std::exception& e) {
        m_prompter.Inform(U("Не удалось открыть файл ") + PathText(fileName) + "\n" +
                              QString::fromLocal8Bit(e.what()),
                          CaptionVocalix(), Icon::Warning);
    }
    if (outcome == OpenOutcome::Unchanged)
        return false;
    const auto slot = static_cast<size_t>(ActivePageIndex() + 1);
    CurrentFileName = name;
    PageFileName[slot] = name;
    const bool unsaved = outcome == OpenOutcome::OpenedUnsaved;
    ActiveEditor->SetModified(unsaved);
    PageModified[slot] = unsaved;
    PageBookMarks[slot].clear();
    PageCharPos[slot] = 0;
    SetItemEnabled("NZakladGo", false);
    SetItemEnabled("NPrefsSeries", !name.empty());
    if (!name.empty())
        RecentChange(name);
    PicShow();
    ActiveEditor->SetSelStart(0);
    ActiveEditor->ScrollCaretIntoView();
    if (ActiveEditor->CanFocus())
        ActiveEditor->setFocus();
    APTitle(static_cast<int>(slot) - 1);
    StatusExecute();
    return true;
}

bool TForm1::AskSaveChanges(const QString& question) {
    const Answer a =
        m_prompter.Ask(question, CaptionVocalix(), Buttons::YesNoCancel, Icon::Question);
    if (a == Answer::No)
        return true;
    if (a != Answer::Yes)
        return false;
    ActiveEditor->SetModified(true);
    ASaveExecute();
    // A save that was cancelled or failed must not cost the text.
    return !ActiveEditor->Modified();
}

QString TForm1::SaveQuestion() {
    return U("Текст в окне был изменен. Сохранить?");
}

void TForm1::ACreateExecute() {
    if (ActiveEditor->Modified() && !AskSaveChanges(SaveQuestion()))
        return;
    const int page = ActivePageIndex() + 1;
    ActiveEditor = RichEdit[static_cast<size_t>(page)];
    ActiveEditor->SetText("");
    SetZoom(m_options.Scale);
    CurrentFileName.clear();
    PageFileName[static_cast<size_t>(page)].clear();
    PageBookMarks[static_cast<size_t>(page)].clear();
    PageModified[static_cast<size_t>(page)] = false;
    PicHide();
    SetItemEnabled("NPrefsSeries", false);
    StatusExecute();
    APTitle(page - 1);
}

void TForm1::AOpenExecute() {
    FileDialogOptions o;
    o.title = U("Открыть");
    QStringList entries;
    for (const char* e : kOpenFilterEntries)
        entries << U(e);
    o.filter = entries.join(";;");
    o.selectedFilter = entries[6];
    o.defaultExtension = "txt";
    if (!CurrentFileName.empty())
        o.fileName = PathText(CurrentFileName);
    const QString chosen = m_prompter.OpenFile(o);
    if (chosen.isEmpty())
        return;
    OpenIntoActivePage(CpPath(fs::path(chosen.toStdString())));
}

void TForm1::ASaveExecute() {
    if (CurrentFileName.empty()) {
        ASaveAsExecute();
        return;
    }
    std::string error;
    if (!ActiveEditor->SaveToFile(FsPath(CurrentFileName), &error)) {
        m_prompter.Inform(U("Не удалось сохранить файл ") + PathText(CurrentFileName) + "\n" +
                              QString::fromStdString(error),
                          CaptionVocalix(), Icon::Error);
        return;
    }
    ActiveEditor->SetModified(false);
    StatusExecute();
    RecentChange(CurrentFileName);
}

void TForm1::ASaveAsExecute() {
    FileDialogOptions o;
    o.title = U("Сохранить как");
    o.filter = U("Текстовые файлы (.txt) (*.txt);;Все файлы (*)");
    o.defaultExtension = "txt";
    if (!CurrentFileName.empty()) {
        o.fileName = PathText(CurrentFileName);
    } else {
        o.fileName = base::ToQString(documents::NameFromFirstLines(ActiveEditor->Text()));
        o.initialDir = QString::fromStdString(ProgramDir.string());
    }
    const QString chosen = m_prompter.SaveFile(o);
    if (!chosen.isEmpty()) {
        const std::string name = CpPath(fs::path(chosen.toStdString()));
        std::string error;
        if (ActiveEditor->SaveToFile(FsPath(name), &error)) {
            CurrentFileName = name;
            const int page = ActivePageIndex() + 1;
            ActiveEditor->SetModified(false);
            PageModified[static_cast<size_t>(page)] = false;
            PageFileName[static_cast<size_t>(page)] = CurrentFileName;
            APTitle(page - 1);
        } else {
            m_prompter.Inform(U("Не удалось сохранить файл ") + chosen + "\n" +
                                  QString::fromStdString(error),
                              CaptionVocalix(), Icon::Error);
        }
    }
    StatusExecute();
    RecentChange(CurrentFileName);
}

void TForm1::APrintNPExecute() {
    std::error_code ec;
    if (CurrentFileName.empty() || !fs::is_regular_file(FsPath(CurrentFileName), ec)) {
        m_prompter.Inform(U("Печатается сохранённый файл текста, а у этой страницы его нет. "
                            "Сохраните текст и повторите печать."),
                          CaptionVocalix(), Icon::Information);
        return;
    }
    QString problem;
    const QStringList printers = PrinterList(&problem);
    if (printers.isEmpty()) {
        m_prompter.Inform(problem, CaptionVocalix(), Icon::Warning);
        return;
    }
    const QString printer = m_prompter.PickPrinter(printers, U("Печать"));
    if (printer.isEmpty())
        return;
    const std::optional<QString> copiesText =
        m_prompter.AskText(U("Число копий:"), U("Печать"), QStringLiteral("1"));
    if (!copiesText)
        return;
    bool ok = false;
    const int copies = copiesText->trimmed().toInt(&ok);
    if (!ok || copies < 1 || copies > 999) {
        m_prompter.Inform(U("Число копий должно быть целым числом от 1 до 999."), CaptionVocalix(),
                          Icon::Warning);
        return;
    }
    const QString error = PrintTextFile(FsPath(CurrentFileName), printer, copies);
    if (!error.isEmpty())
        m_prompter.Inform(error, CaptionVocalix(), Icon::Warning);
}

} // namespace vocalix::shell
