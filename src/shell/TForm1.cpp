// Construction, pages, status line and life cycle of the main window.
#include "shell/TForm1.h"
#include "documents/DocumentFiles.h"

#include "textprep/Dictionaries.h"

#include "base/Cp1251.h"
#include "base/QtText.h"
#include "shell/AccessibleNames.h"
#include "shell/DeferredStart.h"
#include "shell/HelpWindow.h"
#include "shell/WindowText.h"
#include "tools/RoundToDecimals.h"
#include "windows/TAboutBox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

#include <algorithm>

namespace vocalix::shell {

namespace {

using base::U;

// Hint "short|long": the tool tip and the status-line text; without "|" it serves as both.
void SetHint(QWidget* widget, const QString& hint) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    widget->setToolTip(bar < 0 ? hint : hint.left(bar));
    widget->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

// What a screen reader announces for a page: its number as on the tab, then its file.
void NamePageEditor(PageEditor* editor, int page, const std::string& fileName) {
    QString name = U("Страница %1").arg(page % TForm1::kPages);
    if (!fileName.empty())
        name += QStringLiteral(", ") + base::ToQString(documents::FileTitle(fileName));
    editor->setAccessibleName(name);
}

} // namespace

std::filesystem::path FsPath(const std::string& cp1251Path) {
    return std::filesystem::path(base::Cp1251ToUtf8(cp1251Path));
}

std::string CpPath(const std::filesystem::path& path) {
    return base::Utf8ToCp1251(path.string());
}

TForm1::TForm1(const std::filesystem::path& programDir, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), m_prompter(prompter) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Vocalix"));
    setMinimumSize(714, 230);
    resize(706, 530);
    ProgramDir = programDir;
    m_recovery = std::make_unique<RecoveryStore>(ProgramDir);
    BuildCommands();
    BuildMenus();
    BuildToolBars();
    BuildPages();
    BuildStatusBar();
    // The editor's own bindings give way to the commands, except the standard edit keys that
    // the page performs itself.
    QList<QKeySequence> reserved;
    for (QAction* action : actions()) {
        const QString name = action->objectName();
        if (!action->shortcut().isEmpty() && !name.startsWith(QStringLiteral("Edit")))
            reserved << action->shortcut();
    }
    for (int n = 1; n <= kPages; ++n)
        RichEdit[static_cast<size_t>(n)]->SetReservedShortcuts(reserved);
    TimerNextFragment = new QTimer(this);
    TimerNextFragment->setObjectName(QStringLiteral("TimerNextFragment"));
    TimerNextFragment->setInterval(100);
    TimerNextFragment->setSingleShot(false);
    connect(TimerNextFragment, &QTimer::timeout, this, &TForm1::TimerNextFragmentTimer);
    FormCreate();
    NameControlsFromHints(this);
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::BuildPages() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    layout->addWidget(Splitter1, 1);

    CheckListBox1 = new QListWidget(Splitter1);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setMinimumWidth(50);
    CheckListBox1->setSortingEnabled(true);
    SetHint(CheckListBox1, U("Редактирование: Enter или DblClic на словаре"));
    CheckListBox1->setAccessibleName(U("Словари"));
    CheckListBox1->hide();

    PageControl1 = new QTabWidget(Splitter1);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    // Every page stays reachable at any width: the tabs scroll rather than clip.
    PageControl1->setUsesScrollButtons(true);
    PageControl1->setElideMode(Qt::ElideNone);
    for (int n = 1; n <= kPages; ++n) {
        auto* sheet = new QWidget;
        sheet->setObjectName(QStringLiteral("TabSheet%1").arg(n));
        auto* sheetLayout = new QVBoxLayout(sheet);
        sheetLayout->setContentsMargins(0, 0, 0, 0);
        auto* editor = new PageEditor(sheet);
        editor->setObjectName(QStringLiteral("RichEdit%1").arg(n));
        QFont font(QStringLiteral("MS Sans Serif"));
        font.setStyleHint(QFont::SansSerif);
        font.setPixelSize(13);
        editor->SetEditorFont(font);
        editor->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(editor, &QWidget::customContextMenuRequested, this,
                [this, editor](QPoint at) { PopupMenu1->popup(editor->mapToGlobal(at)); });
        connect(editor, &PageEditor::KeyDown, this,
                [this](int key, Qt::KeyboardModifiers) { OnEditorKey(key, false); });
        connect(editor, &PageEditor::KeyUp, this,
                [this](int key, Qt::KeyboardModifiers) { OnEditorKey(key, true); });
        connect(editor, &PageEditor::MouseDown, this, &TForm1::OnEditorMouse);
        connect(editor, &PageEditor::MouseUp, this, &TForm1::OnEditorMouse);
        editor->SetKeyPressHandler([this](char& key) { RichEditKeyPress(key); });
        connect(editor, &QPlainTextEdit::undoAvailable, this, [this] { UpdateEditCommands(); });
        // One modified state for every command: the page's flag follows its text, so typing
        // and undoing back leaves the page unmodified for "Создать" and for closing alike.
        connect(editor->document(), &QTextDocument::modificationChanged, this,
                [this, n](bool modified) { PageModified[static_cast<size_t>(n)] = modified; });
        connect(editor->document(), &QTextDocument::contentsChanged, this,
                [this, n] { m_recoveryDirty[static_cast<size_t>(n)] = true; });
        sheetLayout->addWidget(editor);
        NamePageEditor(editor, n, std::string());
        TabSheet[n] = sheet;
        RichEdit[n] = editor;
        PageControl1->addTab(sheet, n == kPages ? U("0 - Статистика") : QString::number(n));
    }
    // A switch by the user runs both handlers; a switch by the program (ActivatePage) none.
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int) {
        if (m_programmaticSwitch)
            return;
        PageControl1Changing();
        PageControl1Change();
    });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { UpdateEditCommands(); });

    Panel1 = new QWidget(Splitter1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    ToolBar3 = new QToolBar(Panel1);
    ToolBar3->setObjectName(QStringLiteral("ToolBar3"));
    panelLayout->addWidget(ToolBar3);
    Image1Scroll = new QScrollArea(Panel1);
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1Scroll->setWidget(Image1);
    Image1Scroll->setWidgetResizable(true);
    panelLayout->addWidget(Image1Scroll, 1);
    Panel1->hide();
    ToolBar3->hide();
    BuildPicturePanel();

    // Dragging the divider never collapses the dictionary list or the pages.
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setStretchFactor(2, 0);
    setCentralWidget(central);
}

void TForm1::BuildStatusBar() {
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    const int widths[6] = {66, 28, 44, 280, 35, 50};
    for (int i = 0; i < 6; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setMinimumWidth(widths[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        StatusBar1->addWidget(panel, i == 5 ? 1 : 0);
        StatusPanel[static_cast<size_t>(i)] = panel;
    }
    // The bar sits at the right end of the status line and shows only while work runs, so an
    // idle window has no empty strip and nothing moves when work starts: the last panel,
    // which stretches anyway, gives up the room.
    ProgressBar1 = new QProgressBar(StatusBar1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setAccessibleName(U("Ход работы"));
    ProgressBar1->setFixedWidth(100);
    ProgressBar1->setMaximumHeight(StatusPanel[0]->sizeHint().height());
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setValue(0);
    StatusBar1->addPermanentWidget(ProgressBar1);
    ProgressBar1->hide();
    connect(ProgressBar1, &QProgressBar::valueChanged, this,
            [this] { ShowProgressWhileWorking(); });
}

void TForm1::ShowProgressWhileWorking() {
    if (!ProgressBar1)
        return;
    // Every long run moves the bar off its minimum and back; a recording shows it from the start,
    // while its first fragment is still at step 0.
    ProgressBar1->setVisible(ProgressBar1->value() > ProgressBar1->minimum() || IsRecording());
}

void TForm1::FormCreate() {
    m_startPending = PagesRestoredAfterShow();
    Pictures.Clear();
    // Hot keys 1 and 2: Ctrl + numeric-pad plus and Ctrl + "=" paste from any program.
    m_hotKeys.Register(1, kModCtrl, 107, [this] { AlternatePaste(); });
    m_hotKeys.Register(2, kModCtrl, 187, [this] { AlternatePaste(); });
    RecentLoad();
    GetOtherPrefs();
    InstallActiveEditor(RichEdit[static_cast<size_t>(ActivePageIndex() + 1)]);
    m_lastPageIndex = ActivePageIndex();
    StatusExecute();
    ClearReadingState();
    GetSAPI();
    VoicesListCreate();
    GetGeneralPrefs();
    if (!m_startPending)
        FormCreateAfterPages();
}

void TForm1::FormCreateAfterPages() {
    RegisterUserHotKeys();
    SetZoom(m_options.Scale);
    const int page = ActivePageIndex() + 1;
    // A start opens its pages unmodified, except for a text given back unsaved.
    if (!IsRecoveredPage(page))
        ActiveEditor->SetModified(false);
    PicIndex = PagePicNumber[static_cast<size_t>(page)];
    if (PageBookMarks[static_cast<size_t>(page)].empty())
        SetItemEnabled("NZakladGo", false);
    if (PageFileName[static_cast<size_t>(page)].empty())
        SetItemEnabled("NPrefsSeries", false);
    if (!std::filesystem::exists(ProgramDir / "~orfo~")) {
        for (const char* name : {"NPrefsOrfo", "NPopOrfo", "NPopOrfoAdd"}) {
            SetItemEnabled(name, false);
            SetItemVisible(name, false);
        }
    }
    SetStatFeatures();
    SetSplitter1Enabled(false);
    if (EngineUsable())
        ComboBox1Change();
    StatusExecute();
    setAcceptDrops(true);
    // A crash or a power cut costs at most the last minute's typing.
    auto* recoveryTimer = new QTimer(this);
    recoveryTimer->setObjectName(QStringLiteral("TimerRecovery"));
    connect(recoveryTimer, &QTimer::timeout, this, &TForm1::SaveRecovery);
    recoveryTimer->start(60000);
}

void TForm1::CreateOtherWindows() {
    if (!AboutBox)
        AboutBox = new windows::TAboutBox(this);
    CreatePrefsBox();
    CreateZoom();
    CreateZakBox();
    NameControlsFromHints(this); // the dialogs' controls too
}

void TForm1::SetSplitter1Enabled(bool enabled) {
    // The splitter holds the panels, so only its handles are switched, never the widget.
    for (int i = 1; i < Splitter1->count(); ++i)
        Splitter1->handle(i)->setEnabled(enabled);
}

bool TForm1::Splitter1Enabled() const {
    return Splitter1->count() > 1 && Splitter1->handle(1)->isEnabled();
}

int TForm1::ActivePageIndex() const {
    return PageControl1->currentIndex();
}

void TForm1::InstallActiveEditor(PageEditor* editor) {
    if (m_selChange)
        disconnect(m_selChange);
    ActiveEditor = editor;
    m_selChange = connect(editor, &PageEditor::SelChange, this, &TForm1::RichEditSelChange);
    RichEditSelChange();
}

void TForm1::ActivatePage(int index) {
    m_programmaticSwitch = true;
    PageControl1->setCurrentIndex(index);
    m_programmaticSwitch = false;
    m_lastPageIndex = PageControl1->currentIndex();
}

void TForm1::PageControl1Changing() {
    const int old = m_lastPageIndex;
    const auto slot = static_cast<size_t>(old + 1);
    if (ActiveEditor->Modified())
        PageModified[slot] = true;
    if (!ActiveEditor->IsEmpty() && PageFileName[slot].empty()) {
        ActiveEditor->SetModified(true); // a text without a file is unsaved
        PageModified[slot] = true;
        APTitle(old);
    }
}

void TForm1::PageControl1Change() {
    if (IsReading()) {
        AStopExecute();
        ActiveEditor->SetSelLength(0);
    }
    const int index = ActivePageIndex();
    m_lastPageIndex = index;
    const auto slot = static_cast<size_t>(index + 1);
    InstallActiveEditor(RichEdit[slot]);
    // The page comes back as modified as it was left: its text and the commands that ask
    // before replacing it share one state.
    ActiveEditor->SetModified(PageModified[slot]);
    SetZoom(m_options.Scale);
    CurrentFileName = PageFileName[slot];
    PicIndex = PagePicNumber[slot];
    PicShow();
    SetStatFeatures();
    StatusExecute();
}

void TForm1::APTitle(int index) {
    if (index >= 0 && index < kPages)
        NamePageEditor(RichEdit[static_cast<size_t>(index + 1)], index + 1, CurrentFileName);
    if (index < 0 || index >= kPages - 1)
        return; // the report page keeps its caption
    std::string separator;
    if (!CurrentFileName.empty())
        separator = " - ";
    else if (!RichEdit[static_cast<size_t>(index + 1)]->IsEmpty())
        separator = " - ???";
    const std::string caption =
        PageTitle(index, separator, CurrentFileName.empty() ? std::string() : CurrentFileName);
    PageControl1->setTabText(index, base::ToQString(caption));
}

void TForm1::ShowReport(const std::string& cp1251Text) {
    PageEditor* report = RichEdit[kPages];
    report->SetText(cp1251Text);
    PageFileName[kPages].clear();
    report->SetModified(true);
    PageModified[kPages] = true;
    ActivatePage(kPages - 1);
    PageControl1Change();
}

void TForm1::StatusExecute() {
    if (!ActiveEditor)
        return;
    StatusPanel[0]->setText(QStringLiteral("%1: %2")
                                .arg(ActiveEditor->CaretLine() + 1)
                                .arg(ActiveEditor->CaretColumn() + 1));
    if (!ActiveEditor->IsEmpty())
        StatusPanel[1]->setText(QString::number(ActiveEditor->CharAtCaret()));
    else
        StatusPanel[1]->clear(); // an empty page has no character to show
    const bool recording = IsRecording();
    const bool reading = IsReading();
    const bool paused = IsPaused();
    // A paused reading is still a reading: the pause is what the user must see.
    StatusPanel[2]->setText(paused      ? U("Пауза")
                            : recording ? U("Аудио")
                            : reading   ? U("Чтение")
                                        : QString());
    const std::string audio = recording ? RecordingFileTitle() : std::string();
    if (!audio.empty()) {
        StatusPanel[3]->setText(base::ToQString(audio));
    } else if (!ToolBar3->isHidden() && !Pictures.Empty()) {
        StatusPanel[3]->setText(
            QStringLiteral("(%1/%2) ").arg(Pictures.Index() + 1).arg(Pictures.Count()) +
            QString::fromStdString(Pictures.Current().filename().string()));
    } else {
        StatusPanel[3]->clear();
    }
    StatusPanel[4]->setText(QString::number(m_options.Scale) + QLatin1Char('%'));
    lbSAPI->setText(m_options.SAPI5 ? QStringLiteral("    SAPI5") : QStringLiteral("    SAPI4"));

    const std::string fileTitle = documents::FileTitle(CurrentFileName);
    QString appTitle = QStringLiteral("Vocalix");
    if (paused)
        appTitle = U("Vocalix - Пауза: ") + base::ToQString(fileTitle);
    else if (reading)
        appTitle = QStringLiteral("Vocalix - ") + (recording ? U("Аудио") : U("Чтение")) +
                   QStringLiteral(": ") + base::ToQString(fileTitle);
    // The task bar shows the icon text of the window.
    setWindowIconText(appTitle);
    setWindowTitle(CurrentFileName.empty()
                       ? QStringLiteral("Vocalix")
                       : QStringLiteral("Vocalix - ") + base::ToQString(fileTitle));
    SetHint(ActiveEditor, base::ToQString(SizeHint(ActiveEditor->TextLength())));
    // Qt shows a status tip as the mouse enters; the size under the mouse follows the text.
    if (ActiveEditor->underMouse())
        DisplayHint(ActiveEditor->statusTip());
}

void TForm1::DisplayHint(const QString& hint) {
    StatusPanel[5]->setText(hint);
}

void TForm1::SetStatFeatures() {
    const std::string& active = m_options.Dictionary;
    if (QAction* dic = Item("TBDic")) {
        const QString hint = active.empty() ? U("Словари|Показать/скрыть панель словарей")
                                            : U("Словари|") + base::ToQString(active);
        const qsizetype bar = hint.indexOf(QLatin1Char('|'));
        dic->setToolTip(hint.left(bar));
        dic->setStatusTip(hint.mid(bar + 1));
    }
    const bool enabled = !active.empty() && !textprep::IsDictionaryFile(CurrentFileName);
    for (const char* name : {"NPrefsChangeText", "NPrefsRulesToText", "NPrefsStat1", "NPrefsStat2",
                             "NPopChangeText", "NPopRulesToText"})
        SetItemEnabled(name, enabled);
}

void TForm1::RichEditSelChange() {
    const bool selected = ActiveEditor && ActiveEditor->SelLength() > 0;
    for (const char* name : {"NSpeakSpeakSel", "NPopSpeakSel", "NEditChangeSel", "NPopChangeSel",
                             "NPopOrfo", "NPopOrfoAdd", "NPrefsOrfo"})
        SetItemEnabled(name, selected);
    UpdateEditCommands();
}

void TForm1::UpdateEditCommands() {
    if (!ActiveEditor)
        return;
    const bool selected = ActiveEditor->SelLength() > 0;
    const bool writable = !ActiveEditor->ReadOnly();
    Command("EditUndo")->setEnabled(writable && ActiveEditor->CanUndo());
    Command("EditCut")->setEnabled(writable && selected);
    Command("EditCopy")->setEnabled(selected);
    Command("EditDelete")->setEnabled(writable && selected);
    const QClipboard* clipboard = QApplication::clipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    Command("EditPaste")->setEnabled(writable && mime && mime->hasText());
    Command("EditSelectAll")->setEnabled(!ActiveEditor->IsEmpty());
}

namespace {

// Locked while a reading or recording runs: commands that change the text or start another
// run.
constexpr const char* kLockedWhileSpeaking[] = {
    "TBSpeak",   "NSpeakSpeak", "TBDic",     "NSpeakDic",    "NSpeakSpeakCB", "TBFind",
    "NEditFind", "TBRepl",      "TBFormat",  "NFormatParag", "TBFont",        "TBMP3",
    "NFileMP3",  "TBOpen",      "NFileOpen", "TBCreate",     "NFileCreate"};
constexpr const char* kRunControls[] = {"TBPause", "NSpeakPause", "TBStop", "NSpeakStop"};

} // namespace

void TForm1::ForbidUserFeatures() {
    SetUserFeatures(false);
}

void TForm1::UnForbidUserFeatures() {
    SetUserFeatures(true);
}

void TForm1::SetUserFeatures(bool allowed) {
    for (const char* name : kLockedWhileSpeaking)
        SetItemEnabled(name, allowed);
    // The voice and the engine generation stay locked through a pause as well: changing them
    // would replace the engine that holds the paused reading.
    const bool voiceFree = allowed && !IsReading() && !IsRecording();
    for (const char* name : {"ASAPI", "TBSAPI"})
        SetItemEnabled(name, voiceFree);
    ComboBox1->setEnabled(voiceFree);
    cbX->setEnabled(voiceFree);
    ActiveEditor->SetReadOnly(!allowed);
    for (const char* name : kRunControls)
        SetItemEnabled(name, !allowed);
    UpdateEditCommands();
    ShowProgressWhileWorking();
}

void TForm1::AlternatePaste() {
    QClipboard* clipboard = QApplication::clipboard();
    const QString text = clipboard->text();
    // Putting the text back drops any formatting the clipboard carried.
    clipboard->setText(text);
    if (ActiveEditor->ReadOnly())
        return;
    ActiveEditor->ReplaceSelection(base::FromQString(text));
    ActiveEditor->ScrollCaretIntoView();
    StatusExecute();
}

int TForm1::GetZoom() const {
    int numerator = 0;
    int denominator = 0;
    ActiveEditor->GetZoomRatio(numerator, denominator);
    return ZoomPercent(numerator, denominator);
}

void TForm1::SetZoom(int percent) {
    if (percent == 0)
        ActiveEditor->ResetZoom();
    else
        ActiveEditor->SetZoomRatio(percent, 100);
}

void TForm1::OnEditorKey(int key, bool /*up*/) {
    StatusExecute();
    PageCharPos[static_cast<size_t>(ActivePageIndex() + 1)] = ActiveEditor->SelStart();
    if (key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down)
        ResetTypingWord();
}

void TForm1::OnEditorMouse() {
    if (IsReading())
        return;
    m_options.Scale = GetZoom();
    StatusExecute();
    PageCharPos[static_cast<size_t>(ActivePageIndex() + 1)] = ActiveEditor->SelStart();
    ResetTypingWord();
}

void TForm1::ReportOutOfMemory() {
    m_prompter.Inform(
        U("Неудачная попытка распределения динамической памяти. Причина: загруженные текст и "
          "словарь слишком велики. Работа программы сейчас будет завершена. Рекомендуется: 1) "
          "разбить текст на части или задать его чтение блоками;; 2) воспользоваться словарем "
          "меньшего размера."),
        CaptionOops(), Icon::Error);
    QTimer::singleShot(0, this, &QWidget::close);
}

void TForm1::FormDropFiles(const std::vector<std::string>& cp1251Paths) {
    if (cp1251Paths.empty())
        return;
    std::string path = cp1251Paths.front();
    if (path.size() > 256)
        path.resize(256);
    OpenIntoActivePage(path);
    StatusExecute();
}

void TForm1::FormShow() {
    ActiveEditor->ScrollCaretIntoView();
    if (ActiveEditor->CanFocus())
        ActiveEditor->setFocus();
    SetZoom(m_options.Scale);
}

bool TForm1::FormCloseQuery() {
    // A recording holds the engine and the page until its loop returns: ask it to end after
    // the fragment being spoken, and close on the next request.
    if (IsRecording()) {
        AStopExecute();
        return false;
    }
    if (ActiveEditor->Modified())
        PageModified[static_cast<size_t>(ActivePageIndex() + 1)] = true;
    bool canClose = true;
    for (int n = 1; n <= kPages; ++n) {
        const auto slot = static_cast<size_t>(n);
        // A session that ended during a question has kept every page already.
        if (m_endingSession)
            return true;
        if (!PageModified[slot])
            continue;
        ActivatePage(n - 1);
        ActiveEditor = RichEdit[slot];
        CurrentFileName = PageFileName[slot];
        const QString question =
            U("Текст в окне %1 был изменен. Сохранить?").arg(n == kPages ? 0 : n);
        // A refused or failed save keeps the page marked; the later pages are still asked.
        if (AskSaveChanges(question))
            PageModified[slot] = false;
        else
            canClose = false;
    }
    return canClose;
}

void TForm1::FormDestroy() {
    if (m_destroyed)
        return;
    // Settings are written below: the pages they name must have been read.
    FinishStart();
    m_destroyed = true;
    m_hotKeys.UnregisterAll();
    Pictures.Clear();
    if (IsReading())
        AStopExecute();
    ReleaseSpeech();
    if (SaveOnExit)
        SavePrefs();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_closing || m_endingSession) {
        event->accept();
        return;
    }
    m_closing = true;
    const bool accept = FormCloseQuery();
    m_closing = false;
    if (accept) {
        // Unless the session ended during the questions, the user has answered for every page.
        if (!m_endingSession)
            RemoveRecovery();
        event->accept();
    } else {
        event->ignore();
    }
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        // The external encoder's window follows the main window's minimised state.
        ConverterShowState = (windowState() & Qt::WindowMinimized) ? 6 : 1;
    }
    QMainWindow::changeEvent(event);
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        DisplayHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.push_back(base::FromQString(url.toLocalFile()));
    event->acceptProposedAction();
    FormDropFiles(paths);
}

void TForm1::AExitExecute() {
    if (IsReading())
        AStopExecute();
    close();
}

void TForm1::AHelpExecute() {
    const std::filesystem::path help = ProgramDir / "help" / "Vocalix.html";
    if (std::filesystem::exists(help)) {
        // Our own window: a desktop launcher for HTML is not there on every machine.
        auto* window = findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
        if (!window) {
            window = new HelpWindow(help, this);
            window->setAttribute(Qt::WA_DeleteOnClose);
        }
        window->show();
        window->raise();
        window->activateWindow();
        return;
    }
    m_prompter.Inform(U("Не найден файл помощи ") + QString::fromStdString(help.string()),
                      CaptionVocalix(), Icon::Warning);
}

void TForm1::AAboutExecute() {
    if (!AboutBox)
        AboutBox = new windows::TAboutBox(this);
    AboutBox->exec();
}

void TForm1::EditUndoExecute() {
    ActiveEditor->undo();
}
void TForm1::EditCutExecute() {
    ActiveEditor->cut();
}
void TForm1::EditCopyExecute() {
    ActiveEditor->copy();
}
void TForm1::EditPasteExecute() {
    AlternatePaste();
}
void TForm1::EditDeleteExecute() {
    ActiveEditor->DeleteSelection();
}
void TForm1::EditSelectAllExecute() {
    ActiveEditor->selectAll();
}

} // namespace vocalix::shell
