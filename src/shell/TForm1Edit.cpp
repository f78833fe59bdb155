// Editing commands of the window: literary layout, shifting lines, clean-up, letter case,
// numbers in words, word columns, sorting lines, and the look of all pages (wrap, font,
// background). The text work itself is done by the routines of tools/.
#include "shell/TForm1.h"

#include "base/Cp1251.h"
#include "base/QtText.h"
#include "shell/EditorLook.h"
#include "shell/FindReplaceDialog.h"
#include "speech/Reader.h"
#include "textprep/StringRoutines.h"
#include "tools/CleanUp.h"
#include "tools/ColumnText.h"
#include "tools/LitFormat.h"
#include "tools/NumberWords.h"
#include "tools/TextSearch.h"
#include "tools/TypingAssist.h"

#include <QAction>
#include <QProgressBar>
#include <QTimer>

#include <functional>

namespace vocalix::shell {
namespace {

using base::U;

} // namespace

// A long editing run: the interfering commands are off and the magnifier rests until the run
// ends, also by an error.
class TForm1::ToolRun {
public:
    explicit ToolRun(TForm1& w)
        : m_w(w), m_hooks(w.FilterHooksOfWindow()), m_page(w.ActiveEditor),
          m_wasReadOnly(m_page->ReadOnly()) {
        m_w.ForbidUserFeatures();
        if (m_hooks.pauseMagnifier)
            m_hooks.pauseMagnifier();
    }
    ~ToolRun() {
        m_w.ProgressBar1->setValue(0);
        m_w.UnForbidUserFeatures();
        // The page of the run, also when another one is in front by now.
        m_page->SetReadOnly(m_wasReadOnly);
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
    PageEditor* m_page;
    bool m_wasReadOnly;
};

void TForm1::PutPageText(const std::string& text, PageEditor* page) {
    if (!page)
        page = ActiveEditor;
    // Writing back an unchanged text would only cost the undo history and the modified flag.
    if (text != page->Text()) {
        page->SetText(text);
        page->SetModified(true);
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
    // The run lets window events through: the result goes to the page it was made from, even
    // when another page was brought to the front meanwhile.
    PageEditor* page = ActiveEditor;
    page->BeginUpdate();
    PutPageText(change(page->Text()), page);
    page->SetSelStart(0);
    page->ScrollCaretIntoView();
    if (page == ActiveEditor) {
        if (page->CanFocus())
            page->setFocus();
        SetZoom(m_options.Scale);
    }
    page->EndUpdate();
    StatusExecute();
}

tools::ProgressHooks TForm1::ToolProgress() {
    const textprep::FilterHooks hooks = FilterHooksOfWindow();
    return {hooks.setProgressMax, hooks.setProgress, hooks.processEvents};
}

void TForm1::AParagExecute() {
    RebuildPageText([&](const std::string& text) {
        return tools::FormatLiteraryText(text, m_options, tools::DefaultRandomIndex(),
                                         ToolProgress());
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
    PageEditor* page = ActiveEditor; // see RebuildPageText
    const int caret = page->SelStart();
    page->BeginUpdate();
    PutPageText(tools::DeleBreaks(page->Text(), run.Progress()), page);
    ProgressBar1->setValue(0);
    if (page == ActiveEditor)
        SetZoom(m_options.Scale);
    page->EndUpdate();
    page->SetSelStart(caret);
    page->ScrollCaretIntoView();
    if (page == ActiveEditor && page->CanFocus())
        page->setFocus();
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
    if (QAction* item = Item("NFormatWrap"))
        item->setChecked(m_options.WordWrap);
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

// ---- Typing assistance ----

namespace {

// The page as the typing routines see it.
class PageTypingText : public tools::TypingText {
public:
    explicit PageTypingText(PageEditor& page) : m_page(page) {}
    int Caret() const override { return m_page.SelStart(); }
    char CharAt(int offset) const override {
        const int position = m_page.OffsetToPosition(offset);
        // The second half of a line break has no position of its own.
        if (m_page.PositionToOffset(position) != offset)
            return '\n';
        const QChar c = m_page.document()->characterAt(position);
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n')
            return '\r';
        return base::UnicodeToCp1251(c.unicode());
    }
    void Replace(int start, int length, std::string_view cp1251) override {
        m_page.SetSelection(start, length);
        m_page.ReplaceSelection(cp1251);
    }
    void SetCaret(int offset) override { m_page.SetSelection(offset, 0); }

private:
    PageEditor& m_page;
};

} // namespace

void TForm1::RichEditKeyPress(char& key) {
    PageTypingText page(*ActiveEditor);
    tools::TypingKeyPress(page, key, lastKey, m_options,
                          [this](const std::string& piece) { AutoSpeakTyped(piece); });
}

void TForm1::ResetTypingWord() {
    lastKey = 0;
}

void TForm1::AutoSpeakTyped(const std::string& piece) {
    EnsureSpeech();
    // Reading a typed piece must not take the page from the typist, so the commands stay
    // as they are; the selection does not follow this reading.
    if (!m_reader->SpeakSelection(piece))
        return;
    TimerNextFragment->start();
    StatusExecute();
}

// ---- Find and replace ----

namespace {

FindReplaceDialog* EnsureDialog(FindReplaceDialog*& dialog, bool withReplace, TForm1* w) {
    if (!dialog) {
        dialog = new FindReplaceDialog(withReplace, w);
        QObject::connect(dialog, &FindReplaceDialog::Find, w,
                         [w, dialog] { w->FindDialog1Find(dialog, false); });
        if (withReplace) {
            QObject::connect(dialog, &FindReplaceDialog::Replace, w,
                             [w] { w->ReplaceDialog1Replace(false); });
            QObject::connect(dialog, &FindReplaceDialog::ReplaceAll, w,
                             [w] { w->ReplaceDialog1Replace(true); });
        }
    }
    return dialog;
}

} // namespace

void TForm1::AFindExecute() {
    SwitchKeyboardToRussian();
    FindReplaceDialog* dialog = EnsureDialog(FindDialog1, false, this);
    dialog->SetFindText(ActiveEditor->SelText());
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void TForm1::AReplaceExecute() {
    FindReplaceDialog* dialog = EnsureDialog(ReplaceDialog1, true, this);
    dialog->SetFindText(ActiveEditor->SelText());
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void TForm1::FindDialog1Find(FindReplaceDialog* dialog, bool replaceAll) {
    const std::string what = dialog->FindText();
    if (what.empty())
        return;
    const bool matchCase = dialog->MatchCase();
    const int from = ActiveEditor->SelStart() + ActiveEditor->SelLength();
    const int found = ActiveEditor->Find(what, from, ActiveEditor->TextLength() - from, matchCase);
    if (found < 0) {
        ActiveEditor->SetSelection(0, 0);
        const Answer answer =
            m_prompter.Ask(base::ToQString(tools::NotFoundQuestion(what)), CaptionVocalix(),
                           Buttons::YesNoCancel, Icon::Question);
        if (answer != Answer::Yes) {
            dialog->close();
            return;
        }
    } else {
        ActiveEditor->SetSelection(found, static_cast<int>(what.size()));
    }
    if (replaceAll && !ActiveEditor->ReadOnly()) {
        SwitchKeyboardToRussian();
        ActiveEditor->BeginUpdate();
        PutPageText(
            tools::ReplaceAllMatches(ActiveEditor->Text(), what, dialog->ReplaceText(), matchCase));
        SetZoom(m_options.Scale);
        ActiveEditor->EndUpdate();
    }
    ActiveEditor->ScrollCaretIntoView();
    if (ActiveEditor->CanFocus())
        ActiveEditor->setFocus();
}

void TForm1::ReplaceDialog1Replace(bool replaceAll) {
    if (!ReplaceDialog1)
        return;
    if (ActiveEditor->SelLength() > 0 && !ActiveEditor->ReadOnly())
        ActiveEditor->ReplaceSelection(ReplaceDialog1->ReplaceText());
    if (replaceAll) {
        FindDialog1Find(ReplaceDialog1, true);
    } else if (ActiveEditor->CanFocus()) {
        ActiveEditor->setFocus();
    }
}

} // namespace vocalix::shell
