// The dictionary panel and the window's pronunciation filter.
#include "shell/TForm1.h"

#include "shell/PanelLayout.h"

#include "base/QtText.h"
#include "shell/DictionaryList.h"
#include "textprep/DictionaryPanel.h"

#include <QApplication>
#include <QListWidget>
#include <QProgressBar>
#include <QSplitter>
#include <QStyle>

namespace vocalix::shell {

namespace {

constexpr int kPanelWidth = 121;

// The panel and the pages share the splitter with the picture area; with a picture folder
// the pages keep the picture margin as their right edge.
void PlacePanel(QSplitter* splitter, bool shown, bool pictures, int picMargin, int panelWidth) {
    QList<int> sizes = splitter->sizes();
    if (sizes.size() < 2)
        return;
    const int all = [&] {
        int sum = 0;
        for (int s : sizes)
            sum += s;
        return sum;
    }();
    if (pictures && sizes.size() >= 3) {
        const PageSpan span = PagesBesidePictures(shown, picMargin);
        sizes[0] = shown ? kPanelWidth : 0;
        sizes[1] = std::max(0, span.width);
        sizes[2] = std::max(0, all - sizes[0] - sizes[1]);
    } else {
        const int joint = sizes[0] + sizes[1];
        sizes[0] = shown ? panelWidth : 0;
        sizes[1] = std::max(0, joint - sizes[0]);
    }
    splitter->setSizes(sizes);
}

// Wide enough for the longest dictionary name with its check box, but never more than a
// third of the window, so that the pages stay readable beside it.
int PanelWidthForNames(const QListWidget* list, int windowWidth) {
    int longest = 0;
    for (int i = 0; i < list->count(); ++i)
        longest = std::max(longest, list->fontMetrics().horizontalAdvance(list->item(i)->text()));
    const QStyle* style = list->style();
    const int chrome = style->pixelMetric(QStyle::PM_IndicatorWidth) +
                       style->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * list->frameWidth() +
                       24; // item margins and the gap after the check box
    return std::clamp(longest + chrome, kPanelWidth, std::max(kPanelWidth, windowWidth / 3));
}

} // namespace

int TForm1::DicPanelWidth() const {
    if (m_dicPanelWidth > 0)
        return std::min(m_dicPanelWidth, std::max(kPanelWidth, Splitter1->width() - 100));
    return PanelWidthForNames(CheckListBox1, width());
}

textprep::PronunciationFilter& TForm1::pronunciationFilter() {
    if (!m_pronunciationFilter)
        m_pronunciationFilter = std::make_unique<textprep::PronunciationFilter>(ProgramDir);
    return *m_pronunciationFilter;
}

textprep::FilterHooks TForm1::FilterHooksOfWindow() {
    textprep::FilterHooks hooks;
    hooks.setProgressMax = [this](size_t n) {
        // A range of 0..0 would turn the bar into a busy indicator.
        ProgressBar1->setRange(0, static_cast<int>(std::clamp<size_t>(n, 1, INT_MAX)));
    };
    hooks.setProgress = [this](size_t i) {
        ProgressBar1->setValue(static_cast<int>(std::min<size_t>(i, INT_MAX)));
    };
    hooks.processEvents = [] { QCoreApplication::processEvents(); };
    hooks.pauseMagnifier = [this] { PauseMagnifier(); };
    hooks.resumeMagnifier = [this] { ResumeMagnifier(); };
    return hooks;
}

bool TForm1::Filter(std::string& text, bool keepLineBreaks, textprep::FilterMap* map) {
    std::string work = text;
    try {
        pronunciationFilter().Filter(work, keepLineBreaks, m_options.IgnoreRules,
                                     m_options.Dictionary, CurrentFileName, FilterHooksOfWindow(),
                                     map);
    } catch (const textprep::MemoryExhausted&) {
        ProgressBar1->setValue(0);
        ReportOutOfMemory();
        return false;
    }
    text = std::move(work);
    return true;
}

void TForm1::ADicExecute() {
    if (!m_dicList) {
        m_dicList = new DictionaryList(CheckListBox1);
        m_dicList->onClickCheck = [this] { CheckListBox1OnClickCheck(); };
        m_dicList->onEdit = [this] { AEditDicExecute(); };
        // A width the user dragged to is kept for the rest of the session.
        connect(Splitter1, &QSplitter::splitterMoved, this, [this](int, int index) {
            if (index == 1 && CheckListBox1->isVisible())
                m_dicPanelWidth = Splitter1->sizes().value(0);
        });
    }
    const bool pictures = textprep::HasPictureFolder(CurrentFileName);
    if (!CheckListBox1->isHidden() && !m_dicVoiceChanged) {
        CheckListBox1->hide();
        PlacePanel(Splitter1, false, pictures, m_options.PicMargin, 0);
        SetSplitter1Enabled(false);
        SetStatFeatures();
        return;
    }
    m_dicList->Refill(ProgramDir);
    CheckListBox1->show();
    PlacePanel(Splitter1, true, pictures, m_options.PicMargin, DicPanelWidth());
    SetSplitter1Enabled(true);
    SetChecks();
    SetStatFeatures();
}

void TForm1::AEditDicExecute() {
    if (!m_dicList)
        return;
    const std::string item = m_dicList->HighlightedItem();
    if (item.empty())
        return;
    const std::string path = CpPath(ProgramDir / "dic") + "/" + item;
    PageFileName[kPages] = path;
    ActivatePage(kPages - 1);
    PageControl1Change(); // page 10 becomes the active editor, CurrentFileName the dictionary
    PageEditor* editor = RichEdit[kPages];
    std::string error;
    if (!editor->LoadFromFile(FsPath(path), &error))
        m_prompter.Inform(base::ToQString(error), CaptionVocalix(), Icon::Error);
    editor->SetModified(false);
    PageModified[kPages] = false;
    SetZoom(m_options.Scale);
    StatusExecute();
}

void TForm1::SetChecks() {
    if (m_dicList)
        m_dicList->SetChecks(m_options.Dictionary);
}

std::string TForm1::CheckedItemsToStr() const {
    return m_dicList ? m_dicList->CheckedItemsToStr() : std::string();
}

void TForm1::CheckListBox1OnClickCheck() {
    m_options.Dictionary = CheckedItemsToStr();
    SetStatFeatures();
}

void TForm1::ClearDictionariesForNewVoice() {
    if (m_options.Dictionary.empty())
        return;
    m_options.Dictionary.clear();
    SetChecks();
    m_dicVoiceChanged = true;
    ADicExecute();
    m_dicVoiceChanged = false;
}

} // namespace vocalix::shell
