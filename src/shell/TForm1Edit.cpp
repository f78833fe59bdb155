// Editing commands of the window: literary layout, shifting lines, clean-up, letter case,
// numbers in words, word columns, sorting lines, and the look of all pages (wrap, font,
// background). The text work itself is done by the routines of tools/.
#include "shell/TForm1.h"

#include "base/QtText.h"
#include "shell/EditorLook.h"
#include "textprep/StringRoutines.h"
#include "tools/CleanUp.h"
#include "tools/ColumnText.h"
#include "tools/LitFormat.h"
#include "tools/NumberWords.h"

#include <QAction>
#include <QProgressBar>

#include <functional>

namespace vocalix::shell {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

// A long editing run: the interfering commands are off and the magnifier rests until the run
// ends, also by an error.
class TForm1::ToolRun {
public:
    explicit ToolRun(TForm1& w) : m_w(w), m_hooks(w.FilterHooksOfWindow()) {
        m_w.ForbidUserFeatures();
        if (m_hooks.pauseMagnifier)
            m_hooks.pauseMagnifier();
    }
    ~ToolRun() {
        m_w.ProgressBar1->setValue(0);
        m_w.UnForbidUserFeatures();
        if (m_hooks.resumeMagnifier)
            m_hooks.resumeMagnifier();
    }
    ToolRun(const ToolRun&) = delete;
    ToolRun& operator=(const ToolRun&) = delete;

    tools::ProgressHooks Progress() const {
        return {m_hooks.setProgressMax, m_hooks.setProgress, m_hooks.processEvents};
    }

private:
    TForm1& m_w;
    textprep::FilterHooks m_hooks;
};

void TForm1::PutPageText(const std::string& text) {
    // Writing back an unchanged text would only cost the undo history and the modified flag.
    if (text != ActiveEditor->Text()) {
        ActiveEditor->SetText(text);
        ActiveEditor->SetModified(true);
    }
}

void TForm1::WholeTextCommand(const std::function<std::string(const std::string&)>& change) {
    ActiveEditor->BeginUpdate();
    PutPageText(change(ActiveEditor->Text()));
    SetZoom(m_options.Scale);
    ActiveEditor->EndUpdate();
    ActiveEditor->ScrollCaretIntoView();
    if (ActiveEditor->CanFocus())
        ActiveEditor->setFocus();
}

void TForm1::SelectionCommand(const std::function<std::string(const std::string&)>& change) {
    if (ActiveEditor->SelLength() == 0 || ActiveEditor->ReadOnly())
        return;
    const int start = ActiveEditor->SelStart();
    const std::string result = change(ActiveEditor->SelText());
    ActiveEditor->ReplaceSelection(result);
    ActiveEditor->SetSelection(start, static_cast<int>(result.size()));
}

// Whole-text commands that rebuild the page: caret to the start, status refreshed.
void TForm1::RebuildPageText(const std::function<std::string(const std::string&)>& change) {
    const ToolRun run(*this);
    ActiveEditor->BeginUpdate();
    PutPageText(change(ActiveEditor->Text()));
    ActiveEditor->SetSelStart(0);
    ActiveEditor->ScrollCaretIntoView();
    if (ActiveEditor->CanFocus())
        ActiveEditor->setFocus();
    SetZoom(m_options.Scale);
    ActiveEditor->EndUpdate();
    StatusExecute();
}

tools::ProgressHooks TForm1::ToolProgress() {
    const textprep::FilterHooks hooks = FilterHooksOfWindow();
    return {hooks.setProgressMax, hooks.setProgress, hooks.processEvents};
}

void TForm1::AParagExecute() {
    tools::LitTextSettings s;
    s.Parag = m_options.Parag;
    s.MaxLen = m_options.MaxLen;
    s.MaxHugeLen = m_options.MaxHugeLen;
    s.RightJustify = m_options.RightJustify;
    RebuildPageText([&](const std::string& text) {
        return tools::FormatLiteraryText(text, s, tools::DefaultRandomIndex(), ToolProgress());
    });
}

void TForm1::TextHorizontalMove(int direction) {
    ActiveEditor->BeginUpdate();
    const tools::ShiftResult r = tools::TextHorizontalMove(
        ActiveEditor->Text(), ActiveEditor->SelStart(), ActiveEditor->SelLength(), direction);
    PutPageText(r.text);
    if (r.setSelection)
        ActiveEditor->SetSelection(r.selStart, r.selLength);
    ActiveEditor->EndUpdate();
    SetZoom(m_options.Scale);
    ActiveEditor->ScrollCaretIntoView();
    if (ActiveEditor->CanFocus())
        ActiveEditor->setFocus();
}

void TForm1::AMoveRightExecute() {
    TextHorizontalMove(1);
}

void TForm1::AMoveLeftExecute() {
    TextHorizontalMove(-1);
}

void TForm1::ADeleBreaksExecute() {
    const ToolRun run(*this);
    const int caret = ActiveEditor->SelStart();
    ActiveEditor->BeginUpdate();
    PutPageText(tools::DeleBreaks(ActiveEditor->Text(), run.Progress()));
    ProgressBar1->setValue(0);
    SetZoom(m_options.Scale);
    ActiveEditor->EndUpdate();
    ActiveEditor->SetSelStart(caret);
    ActiveEditor->ScrollCaretIntoView();
    if (ActiveEditor->CanFocus())
        ActiveEditor->setFocus();
    StatusExecute();
}

void TForm1::AUpperCaseExecute() {
    SelectionCommand([](const std::string& s) { return textprep::UpperCase(s); });
}

void TForm1::ALowerCaseExecute() {
    SelectionCommand([](const std::string& s) { return textprep::LowerCase(s); });
}

void TForm1::ANumToPhraseExecute() {
    SelectionCommand(
        [](const std::string& s) { return tools::NumbersToWords(tools::DotsToDashes(s)); });
}

void TForm1::ATabToSpaceExecute() {
    WholeTextCommand([](const std::string& t) { return tools::TabToSpace(t); });
}

void TForm1::ANbspToSpaceExecute() {
    WholeTextCommand([](const std::string& t) { return tools::NbspToSpace(t); });
}

void TForm1::AQuotesSimpleExecute() {
    WholeTextCommand([](const std::string& t) { return tools::QuotesSimple(t); });
}

void TForm1::ATireToMinusExecute() {
    WholeTextCommand([](const std::string& t) { return tools::TireToMinus(t); });
}

void TForm1::AMtSimpleExecute() {
    WholeTextCommand([](const std::string& t) { return tools::MtSimple(t); });
}

void TForm1::AParagToLineExecute() {
    WholeTextCommand([](const std::string& t) { return tools::ParagToLine(t); });
}

void TForm1::ADeleSpacesExecute() {
    const int parag = m_options.Parag;
    WholeTextCommand([parag](const std::string& t) { return tools::DeleSpaces(t, parag); });
}

void TForm1::ADeleEmptyLinesExecute() {
    WholeTextCommand([](const std::string& t) { return tools::DeleEmptyLines(t); });
}

void TForm1::AColumnTextExecute() {
    RebuildPageText([this](const std::string& t) { return tools::ColumnText(t, ToolProgress()); });
}

void TForm1::AlphColumnText(int caseMode) {
    RebuildPageText(
        [&](const std::string& t) { return tools::AlphColumnText(t, caseMode, ToolProgress()); });
}

void TForm1::AColumnText2Execute() {
    AlphColumnText(0);
}

void TForm1::AColumnText3Execute() {
    AlphColumnText(1);
}

void TForm1::ASortTextExecute() {
    RebuildPageText([](const std::string& t) { return tools::SortLines(t); });
}

void TForm1::AWrapTextExecute() {
    m_options.WordWrap = !m_options.WordWrap;
    if (QAction* item = Item("NFormatWrap")) {
        item->setCheckable(true);
        item->setChecked(m_options.WordWrap);
    }
    for (int n = 1; n <= kPages; ++n) {
        PageEditor* editor = RichEdit[static_cast<size_t>(n)];
        editor->BeginUpdate();
        editor->SetWordWrap(m_options.WordWrap);
        editor->EndUpdate();
    }
    SetZoom(m_options.Scale);
}

void TForm1::AFontExecute() {
    const std::optional<QFont> font = m_prompter.PickFont(ActiveEditor->EditorFont(), U("Шрифт"));
    if (!font)
        return;
    for (int n = 1; n <= kPages; ++n) {
        PageEditor* editor = RichEdit[static_cast<size_t>(n)];
        // The look of the page is no change of its text: an earlier change stays unsaved.
        const bool modified = editor->Modified();
        editor->BeginUpdate();
        editor->SetEditorFont(*font);
        editor->EndUpdate();
        editor->SetModified(modified);
    }
    FontToOptions(*font, m_options);
    if (ActiveEditor->CanFocus())
        ActiveEditor->setFocus();
}

void TForm1::ABackGroundExecute() {
    const std::optional<QColor> color =
        m_prompter.PickColor(ActiveEditor->BackgroundColor(), U("Фон"));
    if (!color)
        return;
    for (int n = 1; n <= kPages; ++n)
        RichEdit[static_cast<size_t>(n)]->SetBackgroundColor(*color);
    m_options.BackgroundColor = QColorToWinColor(*color, m_options.BackgroundColor);
}

} // namespace vocalix::shell
