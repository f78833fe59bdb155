// Reports of the correction rules and the spelling check.
// The text preparation headers come before any Qt header: Qt defines "slots" as a macro,
// and the pronunciation table has a member of that name.
#include "textprep/CorrectionRules.h"
#include "textprep/Dictionaries.h"
#include "textprep/PronunciationFilter.h"
#include "textprep/Spelling.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/QtText.h"
#include "documents/DocumentFiles.h"
#include "shell/TForm1.h"
#include "shell/WindowText.h"
#include "speech/Fragments.h"

#include <QCoreApplication>
#include <QProgressBar>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>

namespace vocalix::shell {
namespace {

namespace tp = vocalix::textprep;

using base::U;

// Characters of the page a preview works on.
constexpr size_t kPreviewLength = 1024;
// More misspelled words than this go to page "0" instead of a message box.
constexpr size_t kSpellingBoxWords = 24;

// One rules run at a time: the runs let window events through, and a second run started
// from them would share the fragment lists and the pronunciation table with the first.
bool g_rulesRunning = false;

// Marks a run and keeps the page from being edited under it.
class RulesRun {
public:
    explicit RulesRun(PageEditor* editor) : m_editor(editor), m_wasReadOnly(editor->ReadOnly()) {
        g_rulesRunning = true;
        m_editor->SetReadOnly(true);
    }
    ~RulesRun() {
        m_editor->SetReadOnly(m_wasReadOnly);
        g_rulesRunning = false;
    }
    RulesRun(const RulesRun&) = delete;
    RulesRun& operator=(const RulesRun&) = delete;

private:
    PageEditor* m_editor;
    bool m_wasReadOnly;
};

// The elapsed time as the report header shows it: " H:MM:SS" in brackets; nothing under a
// second.
std::string ElapsedText(std::chrono::steady_clock::duration elapsed) {
    const long long seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    if (seconds < 1)
        return {};
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "( %lld:%02lld:%02lld)", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return buffer;
}

} // namespace

// ---- helpers of this file, reached through the window ----

namespace {

bool RulesMayRun(TForm1& w) {
    return !g_rulesRunning && !w.IsReading() && !w.IsRecording() && w.ActiveEditor;
}

tp::RulesSettings RulesSettingsOf(const TForm1& w) {
    tp::RulesSettings s;
    s.programDir = w.ProgramDir;
    s.selection = w.m_options.Dictionary;
    s.currentFileName = w.CurrentFileName;
    return s;
}

tp::FragmentSplitter SplitterOf(const TForm1& w) {
    const int limit = w.m_options.BytesInFrag;
    return [limit](std::string_view text) {
        std::vector<std::string> fragments, offsets;
        speech::SplitToFragments(text, limit, fragments, offsets);
        return fragments;
    };
}

// The text the two previews work on: the selection, or the text from the caret on.
std::string PreviewText(const PageEditor& editor) {
    if (editor.SelLength() > 0)
        return editor.SelText().substr(0, kPreviewLength);
    const std::string text = editor.Text();
    const size_t start = std::min<size_t>(static_cast<size_t>(editor.SelStart()), text.size());
    return text.substr(start, kPreviewLength);
}

} // namespace

void REAppFromTS(PageEditor* page, const std::vector<std::string>& lines) {
    page->SetText(tp::LinesToText(lines));
}

void TForm1::AChangeTextExecute() {
    if (!RulesMayRun(*this) || tp::IsDictionaryFile(CurrentFileName) ||
        m_options.Dictionary.empty())
        return;
    RulesRun run(ActiveEditor);
    std::string text = PreviewText(*ActiveEditor);
    const tp::FilterHooks hooks = FilterHooksOfWindow();
    try {
        tp::RexFilter(text, RulesSettingsOf(*this), hooks);
    } catch (const tp::MemoryExhausted&) {
        ReportOutOfMemory();
        return;
    }
    // The window's filter keeps its prepared table between runs and reports running out of memory.
    if (!Filter(text, true))
        return;
    m_prompter.Inform(base::ToQString(text),
                      U("Текст, измененный по ") + base::ToQString(m_options.Dictionary));
}

void TForm1::ARulesToTextExecute() {
    if (!RulesMayRun(*this) || tp::IsDictionaryFile(CurrentFileName) ||
        m_options.Dictionary.empty())
        return;
    RulesRun run(ActiveEditor);
    std::string text = PreviewText(*ActiveEditor);
    std::string report;
    try {
        report = tp::RulesReport(text, false, RulesSettingsOf(*this), SplitterOf(*this),
                                 FilterHooksOfWindow());
    } catch (const tp::MemoryExhausted&) {
        ReportOutOfMemory();
        return;
    }
    m_prompter.Inform(base::ToQString(report),
                      U("Правила по ") + base::ToQString(m_options.Dictionary));
}

void TForm1::AChangeTextFullExecute() {
    if (!RulesMayRun(*this) || tp::IsDictionaryFile(CurrentFileName) ||
        m_options.Dictionary.empty())
        return;
    const auto started = std::chrono::steady_clock::now();
    std::string text;
    {
        RulesRun run(ActiveEditor);
        text = ActiveEditor->Text();
        const tp::FilterHooks hooks = FilterHooksOfWindow();
        try {
            tp::RexFilterFull(text, RulesSettingsOf(*this), SplitterOf(*this), hooks);
        } catch (const tp::MemoryExhausted&) {
            ReportOutOfMemory();
            return;
        }
        if (!Filter(text, true))
            return;
    }
    const std::string header = base::Cp("# Tекст \"") + documents::FileTitle(CurrentFileName) +
                               base::Cp("\", измененный по \"") + m_options.Dictionary + "\" " +
                               ElapsedText(std::chrono::steady_clock::now() - started) + "\r\n\r\n";
    ShowReport(header + text);
}

void TForm1::ARulesFullExecute() {
    if (!RulesMayRun(*this) || tp::IsDictionaryFile(CurrentFileName))
        return;
    std::string report;
    {
        RulesRun run(ActiveEditor);
        std::string text = ActiveEditor->Text();
        try {
            report = tp::RulesReport(text, true, RulesSettingsOf(*this), SplitterOf(*this),
                                     FilterHooksOfWindow());
        } catch (const tp::MemoryExhausted&) {
            ReportOutOfMemory();
            return;
        }
    }
    ShowReport(report);
}

void TForm1::AOrfoExecute() {
    const std::filesystem::path file = ProgramDir / std::string(tp::kSpellingFileName);
    std::error_code ec;
    if (!ActiveEditor || !std::filesystem::exists(file, ec))
        return;
    tp::SpellingTable table;
    table.Load(file, 0);
    const std::vector<std::string> words = tp::SpellCheckWords(table, ActiveEditor->SelText());
    const std::string report = tp::SpellingReportText(documents::FileTitle(CurrentFileName), words);
    if (words.size() > kSpellingBoxWords) {
        ShowReport(report);
        return;
    }
    // Page "0" gets the report without being shown; it is a report now, not the file it held.
    PageEditor* page = RichEdit[kPages];
    page->SetText(report);
    PageFileName[kPages].clear();
    page->SetModified(true);
    PageModified[kPages] = true;
    if (ActivePageIndex() == kPages - 1)
        PageControl1Change();
    if (words.empty())
        m_prompter.Inform(U("Правильно"), U("Орфография"));
    else
        m_prompter.Inform(base::ToQString(tp::LinesToText(words)), U("Орфография"));
}

namespace {

// Adding and removing: the table of "~orfo~" (empty when there is none yet) changed by the
// selected words and written back whole.
template <typename Change> void ChangeSpellingTable(TForm1& w, Change change) {
    if (!w.ActiveEditor)
        return;
    const std::filesystem::path file = w.ProgramDir / std::string(tp::kSpellingFileName);
    tp::SpellingTable table;
    table.Load(file, tp::kSpellingAddRoom);
    tp::SpellingProgress progress;
    QProgressBar* bar = w.ProgressBar1;
    progress.setRange = [bar](long maximum) {
        if (bar)
            bar->setRange(0, static_cast<int>(std::clamp<long>(maximum, 1, INT32_MAX)));
    };
    progress.setPosition = [bar](long position) {
        if (bar)
            bar->setValue(static_cast<int>(position));
        QCoreApplication::processEvents();
    };
    const bool full = change(table, w.ActiveEditor->SelText(), progress);
    if (bar)
        bar->setValue(0);
    std::string error;
    if (!base::WriteFileAtomic(file, table.Text(), &error)) {
        w.prompter().Inform(U("Не удалось записать ") + base::ToQString(CpPath(file)) +
                                QStringLiteral(": ") + QString::fromStdString(error),
                            CaptionVocalix(), Icon::Error);
        return;
    }
    if (full)
        w.prompter().Inform(base::ToQString(tp::SpellingTableFullMessage()), U("Орфография"),
                            Icon::Warning);
}

} // namespace

void TForm1::AOrfoAddExecute() {
    ChangeSpellingTable(*this, [](tp::SpellingTable& table, const std::string& text,
                                  const tp::SpellingProgress& progress) {
        return tp::SpellAddWords(table, text, progress).tableFull;
    });
}

void TForm1::AOrfoDelExecute() {
    ChangeSpellingTable(*this, [](tp::SpellingTable& table, const std::string& text,
                                  const tp::SpellingProgress& progress) {
        tp::SpellRemoveWords(table, text, progress);
        return false;
    });
}

} // namespace vocalix::shell
