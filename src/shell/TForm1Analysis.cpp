// Text analysis reports: properties, repetition finder, names, word hunt, file set operations.
// The reports are built by the tools library; a handler gathers what it needs from the window
// and the dialogs and puts the report into page "0".
#include "tools/FileSetOperations.h"
#include "tools/FreshEye.h"
#include "tools/Names.h"
#include "tools/TextProperties.h"
#include "tools/WordHunt.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/QtText.h"
#include "documents/DocumentFiles.h"
#include "shell/TForm1.h"
#include "textprep/Dictionaries.h"

#include <QProgressBar>

#include <filesystem>
#include <new>

namespace vocalix::shell {
namespace {

using base::U;

const char* const kSetOperationFilter =
    "Текстовые файлы (.txt) (*.txt);;Словари произношения (.dic, .ini) (*.dic *.ini);;"
    "Все файлы (*)";

// One report at a time: a report lets window events through while it runs, and the page it
// reads stays read-only meanwhile.
bool g_analysisRunning = false;

class AnalysisRun {
public:
    explicit AnalysisRun(PageEditor* editor) : m_editor(editor), m_wasReadOnly(editor->ReadOnly()) {
        g_analysisRunning = true;
        m_editor->SetReadOnly(true);
    }
    ~AnalysisRun() {
        m_editor->SetReadOnly(m_wasReadOnly);
        g_analysisRunning = false;
    }
    AnalysisRun(const AnalysisRun&) = delete;
    AnalysisRun& operator=(const AnalysisRun&) = delete;

private:
    PageEditor* m_editor;
    bool m_wasReadOnly;
};

// The lines of a chosen file, bytes as they stand; false (after telling the user) when it
// cannot be read.
bool ReadLinesOf(Prompter& prompter, const std::string& cp1251Path,
                 std::vector<std::string>& lines) {
    std::string bytes, error;
    if (!base::ReadFileBytes(FsPath(cp1251Path), bytes, &error)) {
        prompter.Inform(U("Не удалось прочитать файл ") + base::ToQString(cp1251Path) +
                            (error.empty() ? QString() : U(": ") + QString::fromStdString(error)),
                        CaptionVocalix(), Icon::Error);
        return false;
    }
    textprep::SplitDictionaryLines(bytes, lines);
    return true;
}

// The path a dialog returned, as the program keeps paths; empty when it was cancelled.
std::string AskFile(Prompter& prompter, const QString& title, const QString& filter) {
    FileDialogOptions o;
    o.title = title;
    o.filter = filter;
    const QString chosen = prompter.OpenFile(o);
    return chosen.isEmpty() ? std::string() : CpPath(std::filesystem::path(chosen.toStdString()));
}

// Runs a report and shows it in page "0". Building it may run out of memory on a huge text,
// which ends the program as every text build does.
template <class Make> void RunAnalysis(TForm1& w, Make&& make) {
    if (g_analysisRunning || !w.ActiveEditor)
        return;
    std::string report;
    {
        AnalysisRun run(w.ActiveEditor);
        try {
            report = make(w.FilterHooksOfWindow());
        } catch (const std::bad_alloc&) {
            w.ReportOutOfMemory();
            return;
        }
    }
    w.ShowReport(report);
}

} // namespace

void TForm1::ATxtPropExecute() {
    RunAnalysis(*this, [this](const tools::ReportHooks& hooks) {
        return tools::TextPropertiesReport(ActiveEditor->Text(),
                                           documents::FileTitle(CurrentFileName), hooks);
    });
}

void TForm1::AFreshEyeExecute() {
    const tools::FreshEyeSettings settings{m_options.Deep,
                                           static_cast<double>(m_options.Similarity)};
    RunAnalysis(*this, [this, &settings](const tools::ReportHooks& hooks) {
        return tools::FreshEyeReport(ActiveEditor->Text(), documents::FileTitle(CurrentFileName),
                                     settings, hooks);
    });
}

void TForm1::ANamesExecute() {
    RunAnalysis(*this, [this](const tools::ReportHooks& hooks) {
        return tools::NamesReport(ActiveEditor->Text(), documents::FileTitle(CurrentFileName),
                                  hooks);
    });
}

void TForm1::AHuntExecute() {
    if (g_analysisRunning || !ActiveEditor)
        return;
    const std::string listPath =
        AskFile(m_prompter, U("Выберите файл проверочного списка"), U(kSetOperationFilter));
    std::vector<std::string> list;
    if (!listPath.empty() && !ReadLinesOf(m_prompter, listPath, list))
        return;
    const std::string listTitle = documents::FileTitle(listPath);
    if (listPath.empty()) {
        ShowReport(tools::WordHuntHeader(documents::FileTitle(CurrentFileName), listTitle));
        return;
    }
    RunAnalysis(*this, [&](const tools::ReportHooks& hooks) {
        return tools::WordHuntReport(ActiveEditor->Text(), documents::FileTitle(CurrentFileName),
                                     list, listTitle, hooks);
    });
}

void TForm1::FOper(int operation) {
    if (g_analysisRunning || !ActiveEditor)
        return;
    const QString filter = U(kSetOperationFilter);
    const std::string first = AskFile(m_prompter, U("Выберите ПЕРВЫЙ файл"), filter);
    const std::string second =
        first.empty() ? std::string() : AskFile(m_prompter, U("Выберите ВТОРОЙ файл"), filter);
    if (second.empty()) {
        // Nothing to compare: page "0" is shown as it is.
        ActivatePage(kPages - 1);
        PageControl1Change();
        return;
    }
    std::vector<std::string> firstLines, secondLines;
    if (!ReadLinesOf(m_prompter, first, firstLines) ||
        !ReadLinesOf(m_prompter, second, secondLines))
        return;
    RunAnalysis(*this, [&](const tools::ReportHooks& hooks) {
        return tools::FileSetReport(static_cast<tools::FileSetOperation>(operation), first,
                                    firstLines, second, secondLines, hooks);
    });
}

void TForm1::AFMinusExecute() {
    FOper(static_cast<int>(tools::FileSetOperation::Difference));
}

void TForm1::AFMutualExecute() {
    FOper(static_cast<int>(tools::FileSetOperation::Intersection));
}

void TForm1::AFUnionExecute() {
    FOper(static_cast<int>(tools::FileSetOperation::Union));
}

} // namespace vocalix::shell
