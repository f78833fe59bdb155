// Settings, profiles, the preferences dialog, recent files and bookmarks.
#include "shell/TForm1.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/IniFile.h"
#include "base/QtText.h"
#include "base/Settings.h"
#include "shell/Bookmarks.h"
#include "shell/EditorLook.h"
#include "shell/PrefsLogic.h"
#include "shell/Profiles.h"
#include "shell/TPrefsBox.h"
#include "shell/TZakBox.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolBar>

namespace vocalix::shell {
namespace {

using base::U;

bool FileExists(const std::string& cp1251Path) {
    std::error_code ec;
    return !cp1251Path.empty() && std::filesystem::is_regular_file(FsPath(cp1251Path), ec);
}

// Every routine that opens the settings file writes it back, so the first start creates it.
// A read-only routine has nothing to lose when that fails.
base::IniFile OpenSettings(const std::filesystem::path& programDir) {
    base::IniFile ini;
    ini.Load(base::SettingsPath(programDir));
    return ini;
}

void SetPageCursor(PageEditor* editor, bool handPoint) {
    editor->viewport()->setCursor(handPoint ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

QString ProfileFilter() {
    return U("Файлы конфигурации (.ini) (*.ini);;Все файлы (*.*)");
}

} // namespace

void TForm1::GetOtherPrefs() {
    const base::IniFile ini = OpenSettings(ProgramDir);
    base::ReadSettingsGroup(ini, base::SettingsGroup::Other, m_options);
    ini.Save(base::SettingsPath(ProgramDir));
}

bool TForm1::OpenPrevious(const std::string& fileName) {
    return FileExists(fileName) && OpenIntoActivePage(fileName);
}

void TForm1::GetGeneralPrefs() {
    const base::IniFile ini = OpenSettings(ProgramDir);
    const bool placed = ini.HasKey("Form", "LeftCorner") || ini.HasKey("Form", "TopCorner");
    base::ReadSettingsGroup(ini, base::SettingsGroup::General, m_options);

    // The voice list may refuse the stored index; then its first voice is taken.
    if (ComboBox1 && ComboBox1->count() > 0) {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->setCurrentIndex(m_options.Number < ComboBox1->count() ? m_options.Number : -1);
        if (ComboBox1->currentIndex() < 0)
            ComboBox1->setCurrentIndex(0);
        m_options.Number = ComboBox1->currentIndex();
    }

    resize(m_options.Width, m_options.Height);
    if (placed) {
        move(m_options.LeftCorner, m_options.TopCorner);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // A first start shows the window in the middle of the desktop.
        const QRect desk = screen->availableGeometry();
        move(desk.center() - QPoint(width() / 2, height() / 2));
    }
    m_options.PicMargin = base::BoundPicMargin(m_options.PicMargin, width());

    // How the pages look does not depend on their texts: it is in place before the window
    // shows, also when the texts come after.
    for (int n = 1; n <= kPages; ++n) {
        PageEditor* editor = RichEdit[static_cast<size_t>(n)];
        SetPageCursor(editor, m_options.HandPointCursor);
        editor->SetEditorFont(FontFromOptions(m_options, editor->EditorFont()));
        editor->SetTextColor(WinColorToQColor(m_options.FontColor));
        editor->SetBackgroundColor(WinColorToQColor(m_options.BackgroundColor));
        if (!m_options.IgnorePrev)
            editor->SetWordWrap(m_options.WordWrap);
    }
    if (!m_options.IgnorePrev)
        if (QAction* wrap = Item("NFormatWrap"))
            wrap->setChecked(m_options.WordWrap);
    if (m_startPending)
        ActivatePage(std::clamp(m_options.ActivePageIndex, 0, kPages - 1));
    else
        RestorePages();
}

void TForm1::RestorePages() {
    const base::IniFile ini = OpenSettings(ProgramDir);
    m_recoveredPages.clear();
    m_recovery->Adopt();
    for (int n = 1; n <= kPages; ++n) {
        const auto slot = static_cast<size_t>(n);
        PageEditor* editor = RichEdit[slot];
        // Pages are visited without the page-change handler, which runs once at the end.
        ActivatePage(n - 1);
        ActiveEditor = editor;
        CurrentFileName.clear();
        if (!m_options.IgnorePrev) {
            const base::PageSettings page = base::ReadPageSettings(ini, n);
            OpenPrevious(page.FileName);
            // Opening a file starts it afresh; what the settings remember comes back after.
            PageCharPos[slot] = page.CharPos;
            PagePicNumber[slot] = page.PicNumber;
            PageBookMarks[slot] = page.BookMarks;
            CurrentFileName = PageFileName[slot];
            editor->SetSelStart(std::max(0, page.CharPos));
            editor->ScrollCaretIntoView();
            StatusExecute();
        }
        if (RestoreRecoveredPage(n)) {
            m_recoveredPages.push_back(n);
            editor->SetSelStart(std::max(0, PageCharPos[slot]));
            editor->ScrollCaretIntoView();
        }
        APTitle(n - 1);
    }
    ActivatePage(std::clamp(m_options.ActivePageIndex, 0, kPages - 1));
    int active = ActivePageIndex() + 1;

    const QString argument = CommandLineFile();
    if (!argument.isEmpty()) {
        // A recovered text is not opened over: the file goes to the first free page then.
        int target = active;
        for (int n = 1; IsRecoveredPage(target) && n < kPages; ++n)
            if (RichEdit[static_cast<size_t>(n)]->IsEmpty() && PageFileName[n].empty())
                target = n;
        if (IsRecoveredPage(target)) {
            m_prompter.Inform(U("Файл %1 не открыт: на странице %2 возвращён несохранённый "
                                "текст, а свободной страницы нет.")
                                  .arg(argument)
                                  .arg(active % kPages),
                              CaptionVocalix(), Icon::Warning);
        } else {
            active = target;
            ActivatePage(active - 1);
            ActiveEditor = RichEdit[static_cast<size_t>(active)];
            // Unlike a page's previous file, the file named at start is asked for now: when
            // it cannot be opened, the user hears why, and the page keeps what it had.
            OpenIntoActivePage(base::FromQString(QFileInfo(argument).absoluteFilePath()));
        }
    }
    ActiveEditor = RichEdit[static_cast<size_t>(active)];
    CurrentFileName = PageFileName[static_cast<size_t>(active)];
    PageControl1Change();
    ini.Save(base::SettingsPath(ProgramDir));
    if (!m_recoveredPages.empty() && !m_endingSession) {
        QStringList pages;
        for (const int n : m_recoveredPages)
            pages << QString::number(n % kPages);
        m_prompter.Inform(U("Программа была закрыта без вопроса о сохранении. Несохранённый "
                            "текст возвращён на страницы: %1. Сохраните его или закройте без "
                            "сохранения.")
                              .arg(pages.join(QStringLiteral(", "))),
                          CaptionVocalix(), Icon::Information);
    }
}

void TForm1::SavePrefs() {
    base::IniFile ini = OpenSettings(ProgramDir);
    const int active = ActivePageIndex() + 1;
    ActiveEditor = RichEdit[static_cast<size_t>(active)];
    m_options.Scale = GetZoom();
    if (ComboBox1 && ComboBox1->currentIndex() >= 0)
        m_options.Number = ComboBox1->currentIndex();
    m_options.WordWrap = ActiveEditor->WordWrap();
    m_options.ActivePageIndex = active - 1;
    m_options.LeftCorner = pos().x();
    m_options.TopCorner = pos().y();
    m_options.Width = width();
    m_options.Height = height();
    FontToOptions(ActiveEditor->EditorFont(), m_options);
    m_options.FontColor = QColorToWinColor(ActiveEditor->TextColor(), m_options.FontColor);
    m_options.BackgroundColor =
        QColorToWinColor(ActiveEditor->BackgroundColor(), m_options.BackgroundColor);

    base::PagesSettings pages;
    for (int n = 1; n <= kPages; ++n) {
        const auto slot = static_cast<size_t>(n);
        // The caret of a page with text is where the user left it, also when a command moved
        // it without a key or mouse event.
        if (!RichEdit[slot]->IsEmpty())
            PageCharPos[slot] = RichEdit[slot]->SelStart();
        pages[slot - 1] = {PageFileName[slot], PageCharPos[slot], PagePicNumber[slot],
                           PageBookMarks[slot]};
    }
    base::WriteAllSettings(ini, m_options, pages);
    std::string error;
    if (!ini.Save(base::SettingsPath(ProgramDir), &error))
        m_prompter.Inform(U("Не удалось сохранить настройки в ") +
                              QString::fromStdString(base::SettingsPath(ProgramDir).string()) +
                              QStringLiteral(": ") + QString::fromStdString(error),
                          CaptionVocalix(), Icon::Warning);
    RecentSave();
}

void TForm1::RegisterUserHotKeys() {
    m_hotKeys.Unregister(3);
    m_hotKeys.Unregister(4);
    m_hotKeys.RegisterByName(3, m_options.GKName, [this] {
        if (IsPaused())
            ASpeakExecute();
        else
            APauseExecute();
    });
    m_hotKeys.RegisterByName(4, m_options.GKName2, [this] {
        if (IsReading())
            AStopExecute();
        else
            ASpeakExecute();
    });
}

// ---- Recent files ----

void TForm1::RebuildRecentMenu() {
    // The entry being clicked is among these: it may only go once its signal has returned.
    for (QAction* old : NFileRecent->actions()) {
        NFileRecent->removeAction(old);
        old->deleteLater();
    }
    for (const std::string& name : m_recent.Entries()) {
        QString caption = base::ToQString(name);
        caption.replace(QLatin1Char('&'), QStringLiteral("&&")); // no accelerator in a path
        QAction* entry = NFileRecent->addAction(caption);
        entry->setToolTip(U("Открыть недавний"));
        entry->setStatusTip(U("Открыть недавний"));
        connect(entry, &QAction::triggered, this, [this, name] { RecentClick(name); });
    }
    if (m_recent.HasClearItem()) {
        NFileRecent->addSeparator();
        QAction* clear = NFileRecent->addAction(base::ToQString(RecentFiles::ClearCaption()));
        clear->setObjectName(QStringLiteral("NFileRecentClear"));
        clear->setToolTip(U("Удалить информацию о ранее открытых файлах"));
        clear->setStatusTip(clear->toolTip());
        connect(clear, &QAction::triggered, this,
                [this] { RecentClick(RecentFiles::ClearCaption()); });
    }
}

void TForm1::RecentLoad() {
    std::string bytes;
    if (!base::ReadFileBytes(ProgramDir / "$.rec", bytes))
        return;
    m_recent.Load(bytes, FileExists);
    RebuildRecentMenu();
}

void TForm1::RecentChange(const std::string& fileName) {
    m_recent.Change(fileName);
    RebuildRecentMenu();
}

void TForm1::RecentSave() {
    std::string error;
    if (!base::WriteFileAtomic(ProgramDir / "$.rec", m_recent.SaveText(), &error))
        m_prompter.Inform(U("Не удалось сохранить список недавних файлов: ") +
                              QString::fromStdString(error),
                          CaptionVocalix(), Icon::Warning);
}

void TForm1::RecentClick(const std::string& fileName) {
    const auto slot = static_cast<size_t>(ActivePageIndex() + 1);
    ActiveEditor = RichEdit[slot];
    if (ActiveEditor->Modified() && !AskSaveChanges(SaveQuestion()))
        return;
    if (fileName == RecentFiles::ClearCaption()) {
        m_recent.Clear();
        RebuildRecentMenu();
        return;
    }
    if (!FileExists(fileName)) {
        // The entry goes; the page keeps its text and its bookmarks.
        m_recent.Remove(fileName);
        RebuildRecentMenu();
        return;
    }
    ActiveEditor->SetWordWrap(m_options.WordWrap);
    OpenIntoActivePage(fileName);
}

// ---- Preferences ----

void TForm1::CreatePrefsBox() {
    if (PrefsBox)
        return;
    auto* box = new TPrefsBox(ProgramDir, this);
    box->FormCreate(m_options.ACNumber);
    box->ShowError = [this](const std::string& message) {
        m_prompter.Inform(base::ToQString(message), CaptionVocalix(), Icon::Warning);
    };
    PrefsBox = box;
}

void TForm1::ASetPrefsExecute() {
    CreatePrefsBox();
    auto* box = static_cast<TPrefsBox*>(PrefsBox);
    {
        base::IniFile ini = OpenSettings(ProgramDir);
        ini.WriteInteger("Text", "Scale", m_options.Scale);
        ini.Save(base::SettingsPath(ProgramDir));
    }
    GetOtherPrefs();
    CorrectForDialog(m_options);
    box->Fill(m_options);
    box->PageControl1->setCurrentIndex(0);
    box->exec();
    GetOtherPrefs();
    for (int n = 1; n <= kPages; ++n)
        SetPageCursor(RichEdit[static_cast<size_t>(n)], m_options.HandPointCursor);
    PageControl1Change();
    // The keys are those now in the settings file: a cancelled choice is not registered.
    RegisterUserHotKeys();
    if (m_options.PicImport) {
        m_options.PicMargin = base::BoundPicMargin(m_options.PicMargin, width());
        PicShow();
    } else {
        Panel1->hide();
        ToolBar3->hide();
    }
    PicShow();
    StatusExecute();
}

// ---- Profiles ----

void TForm1::AProfileSaveExecute() {
    SavePrefs();
    std::error_code ec;
    std::filesystem::create_directories(ProfilesFolder(ProgramDir), ec);
    FileDialogOptions options;
    options.title = U("Сохранить профиль как");
    options.filter = ProfileFilter();
    options.initialDir = QString::fromStdString(ProfilesFolder(ProgramDir).string());
    options.defaultExtension = QStringLiteral("ini");
    const QString chosen = m_prompter.SaveFile(options);
    if (chosen.isEmpty())
        return;
    std::string error;
    if (!CopySettingsFile(base::SettingsPath(ProgramDir), chosen.toStdString(), &error))
        m_prompter.Inform(base::ToQString(error), CaptionVocalix(), Icon::Warning);
}

void TForm1::AProfileLoadExecute() {
    std::error_code ec;
    std::filesystem::create_directories(ProfilesFolder(ProgramDir), ec);
    FileDialogOptions options;
    options.title = U("Загрузить профиль");
    options.filter = ProfileFilter();
    options.initialDir = QString::fromStdString(ProfilesFolder(ProgramDir).string());
    const QString chosen = m_prompter.OpenFile(options);
    if (chosen.isEmpty())
        return;
    std::string error;
    if (!CopySettingsFile(chosen.toStdString(), base::SettingsPath(ProgramDir), &error)) {
        m_prompter.Inform(base::ToQString(error), CaptionVocalix(), Icon::Warning);
        return;
    }
    RecentSave();
    SaveOnExit = false;
    RestartProgram();
}

void TForm1::AProfileDefaultExecute() {
    std::error_code ec;
    std::filesystem::remove(base::SettingsPath(ProgramDir), ec);
    SaveOnExit = false;
    RestartProgram();
}

void TForm1::RestartProgram() {
    // The pages' save questions come first; a refusal keeps this instance running (it will
    // still not write the settings file over the new one).
    if (!close())
        return;
    if (RestartLauncher)
        RestartLauncher();
    else
        StartNewInstance();
    QCoreApplication::quit();
}

// ---- Bookmarks ----

void TForm1::AZakAddExecute() {
    const auto slot = static_cast<size_t>(ActivePageIndex() + 1);
    PageBookMarks[slot] = AddBookmark(PageBookMarks[slot], ActiveEditor->SelStart());
    SetItemEnabled("NZakladGo", true);
}

void TForm1::CreateZakBox() {
    if (ZakBox)
        return;
    auto* box = new TZakBox(this);
    box->ConfirmDeleteAll = [this] {
        return m_prompter.Ask(U("В самом деле хотите удалить ВСЕ закладки?"),
                              U("Удалить все закладки"), Buttons::YesNo, Icon::Warning,
                              Answer::No) == Answer::Yes;
    };
    ZakBox = box;
}

void TForm1::AZakGoExecute() {
    CreateZakBox();
    auto* box = static_cast<TZakBox*>(ZakBox);
    const auto slot = static_cast<size_t>(ActivePageIndex() + 1);
    const std::string text = ActiveEditor->Text();
    std::vector<std::string> entries;
    int number = 0;
    for (int position : ParseBookmarks(PageBookMarks[slot]))
        entries.push_back(BookmarkEntry(++number, position, text));
    box->SetEntries(entries);
    box->exec();
    if (box->Changed()) {
        PageBookMarks[slot] = BookmarksFromEntries(box->Entries());
        if (PageBookMarks[slot].empty())
            SetItemEnabled("NZakladGo", false);
    }
    if (const auto position = box->ChosenPosition()) {
        ActiveEditor->SetSelStart(*position);
        ActiveEditor->ScrollCaretIntoView();
        ActiveEditor->setFocus();
        PageCharPos[slot] = ActiveEditor->SelStart();
        StatusExecute();
    }
}

} // namespace vocalix::shell
