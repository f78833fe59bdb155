#pragma once

#include "base/Options.h"
#include "base/QtProcess.h"
#include "documents/OfficeConversion.h"
#include "documents/OpenDocument.h"
#include "shell/GlobalHotKeys.h"
#include "shell/PageEditor.h"
#include "shell/PicturePanel.h"
#include "shell/Prompter.h"
#include "shell/RecentFiles.h"
#include "shell/SessionEnd.h"
#include "textprep/PronunciationFilter.h"
#include "tools/ToolHooks.h"

#include <QMainWindow>
#include <QPixmap>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QScrollArea;
class QSpinBox;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolBar;
class QWidget;

namespace vocalix::speech {
class Engines;
class Reader;
} // namespace vocalix::speech

namespace vocalix::windows {
class TAboutBox;
}

namespace vocalix::audio {
struct RecordOutcome;
}

namespace vocalix::shell {

class DictionaryList;
class FindReplaceDialog;

// File names held by the program are cp1251 text like everything else; these give the path
// the file system uses (UTF-8) and back.
std::filesystem::path FsPath(const std::string& cp1251Path);
std::string CpPath(const std::filesystem::path& path);

// Sets a page's whole text to the lines, each followed by CR LF (reports of the tools).
void REAppFromTS(PageEditor* page, const std::vector<std::string>& lines);

// The main window. Its handlers are split over several files by subsystem:
//   TForm1.cpp        construction, command table, pages, status line, life cycle, help/about
//   TForm1File.cpp    opening, creating, saving, printing documents; pictures; office
//   TForm1Prefs.cpp   settings, profiles, preferences dialog, recent files, bookmarks
//   TForm1Speech.cpp  engines, voices, reading aloud
//   TForm1Record.cpp  recording, series, batch recording
//   TForm1Dic.cpp     dictionary panel
//   TForm1Rules.cpp   correction rules reports, spelling
//   TForm1Edit.cpp    editing tools, find and replace, typing assistance
//   TForm1Zoom.cpp    the magnifier
//   SessionEnd.cpp    an end the user did not choose: unsaved pages kept for the next start
//   TForm1Analysis.cpp  text analysis reports
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `programDir` is the program folder (settings, dictionaries, help...); `prompter` answers
    // every modal question and must outlive the window.
    TForm1(const std::filesystem::path& programDir, Prompter& prompter, QWidget* parent = nullptr);
    ~TForm1() override;

    // Creates the about box, preferences dialog, magnifier and bookmarks dialog, in that
    // order; called once right after the window is constructed.
    void CreateOtherWindows();

    // ---- Window-wide state ----
    PageEditor* ActiveEditor = nullptr;
    std::string CurrentFileName; // cp1251 path of the active page's file; empty if unnamed
    std::filesystem::path ProgramDir;
    bool SaveOnExit = true;
    int ConverterShowState = 1; // 1 normal, 6 minimised
    vocalix::base::Options m_options;

    // Per-page state, index 1..10 (index 0 unused). Page 10 is the report page "0".
    static constexpr int kPages = 10;
    std::array<int, kPages + 1> PageCharPos{};
    std::array<std::string, kPages + 1> PageFileName;
    std::array<int, kPages + 1> PagePicNumber{};
    std::array<std::string, kPages + 1> PageBookMarks;
    std::array<bool, kPages + 1> PageModified{};

    // Picture panel state shared with the status line.
    PicturePanel Pictures; // the book's picture folder and files, sorted
    int PicIndex = 0;

    Prompter& prompter() { return m_prompter; }
    GlobalHotKeys& hotKeys() { return m_hotKeys; }

    // ---- Widgets (object names as the other code and the tests know them) ----
    QTabWidget* PageControl1 = nullptr;
    std::array<QWidget*, kPages + 1> TabSheet{};
    std::array<PageEditor*, kPages + 1> RichEdit{};
    QListWidget* CheckListBox1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QScrollArea* Image1Scroll = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QToolBar* ToolBar3 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* cbX = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QSpinBox* trSpeed = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QSpinBox* trPitch = nullptr;
    QLabel* lbSAPI = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 6> StatusPanel{};
    QProgressBar* ProgressBar1 = nullptr;
    QTimer* TimerNextFragment = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* NFileRecent = nullptr;

    // The other windows (created by CreateOtherWindows).
    vocalix::windows::TAboutBox* AboutBox = nullptr;
    QWidget* PrefsBox = nullptr; // TPrefsBox
    QWidget* Zoom = nullptr;     // TZoom
    QWidget* ZakBox = nullptr;   // TZakBox

    // A command (QAction) or named menu item / toolbar button by its name; nullptr if none.
    QAction* Command(const char* name) const;
    QAction* Item(const char* name) const;
    // Enables or disables a menu item or toolbar button; it is enabled only while its
    // command is enabled too.
    void SetItemEnabled(const char* name, bool enabled);
    void SetItemVisible(const char* name, bool visible);

    // ---- Routines of the window ----
    void StatusExecute();
    void DisplayHint(const QString& hint);
    void SetStatFeatures();
    void ForbidUserFeatures();
    void UnForbidUserFeatures();
    void SetUserFeatures(bool allowed);
    void RichEditSelChange();
    void AlternatePaste();
    int GetZoom() const;
    void SetZoom(int percent);
    void APTitle(int index);
    void PageControl1Changing();
    void PageControl1Change();
    // Makes page `index` (zero-based) the visible page without running the page handlers
    // (ActiveEditor stays); call PageControl1Change after it to switch the window's state
    // over. A click on a tab runs PageControl1Changing and PageControl1Change itself.
    void ActivatePage(int index);
    int ActivePageIndex() const;
    // The splitter between the dictionary panel and the pages can be dragged only when enabled.
    void SetSplitter1Enabled(bool enabled);
    bool Splitter1Enabled() const;
    // Report into page "0": replaces page 10's text, clears its file name, marks it modified
    // and makes it the active page.
    void ShowReport(const std::string& cp1251Text);
    // An allocation failure while building a large text: the fixed message, then closing.
    void ReportOutOfMemory();
    // Opens the first of the dropped files into the active page.
    void FormDropFiles(const std::vector<std::string>& cp1251Paths);
    void FormShow();
    bool FormCloseQuery();
    void FormDestroy();
    // A window made while PagesRestoredAfterShow() holds starts without its pages: this
    // restores them and completes the start as construction otherwise does (DeferredStart.cpp).
    // Does nothing once done; closing the window does it first.
    void FinishStart();
    // The session ends without the user (SIGTERM, logout, shutdown): a reading or recording is
    // stopped, every modified page goes to its recovery file, and the window closes asking
    // nothing; the settings are written as on any close.
    void EndSession();
    // Writes the recovery file of every modified page changed since its last writing and
    // removes those of the pages no longer modified.
    void SaveRecovery();

    // ---- Commands of this window ----
    void AExitExecute();
    void AHelpExecute();
    void AAboutExecute();
    void EditUndoExecute();
    void EditCutExecute();
    void EditCopyExecute();
    void EditPasteExecute();
    void EditDeleteExecute();
    void EditSelectAllExecute();

    // ---- Documents (TForm1File.cpp) ----
    void XOpen(const std::string& fileName);
    // XOpen proper: rewrites fileName to the name the text is saved under from now on and
    // takes a target folder (batch conversion). Unchanged: the file could not be read.
    enum class OpenOutcome { Unchanged, Opened, OpenedUnsaved };
    OpenOutcome XOpenTo(std::string& fileName, const std::string& targetFolder);
    // Opens a file into the active page: the open dialog, a dropped file, the recent list, the
    // previous session's pages and the command line all come here. The page is named after the
    // file that holds its text (a converted document's ".txt"), starts afresh (caret at the top,
    // no bookmarks) and enters the recent list. False, with the page as it was, when the file
    // could not be read.
    bool OpenIntoActivePage(const std::string& fileName);
    // The save question for the active page. True when its text may be replaced: saved, or the
    // user said No. False when the user cancelled or the save was cancelled or failed.
    bool AskSaveChanges(const QString& question);
    static QString SaveQuestion();
    // Word conversion through the office suite; tests replace it.
    vocalix::documents::OfficeHooks OfficeConversion =
        vocalix::documents::MakeOfficeHooks(vocalix::base::RunProcess);
    void ACreateExecute();
    void AOpenExecute();
    void ASaveExecute();
    void ASaveAsExecute();
    void APrintNPExecute();
    void AMSWordExecute();
    void ABatchTxtExecute();
    void PicShow();
    void APicLargeSmallExecute();
    // The picture panel (TForm1Pictures.cpp).
    void BuildPicturePanel();
    void PicLarge();
    void PicSmall();
    void PicHide();
    bool LoadPicture();
    void ScalePicture();
    void AResizeExecute();
    void PrevClick();
    void NextClick();
    void DeleClick();
    void DeleAllClick();
    QPixmap m_picture; // the picture shown, unscaled
    void PlayCompleteSound();

    // ---- Settings, profiles, recent files, bookmarks (TForm1Prefs.cpp) ----
    void GetOtherPrefs();
    void GetGeneralPrefs();
    void SavePrefs();
    void RegisterUserHotKeys();
    void RecentLoad();
    void RecentChange(const std::string& fileName);
    void RecentSave();
    void RecentClick(const std::string& fileName);
    void ASetPrefsExecute();
    void AProfileSaveExecute();
    void AProfileLoadExecute();
    void AProfileDefaultExecute();
    void AZakAddExecute();
    void AZakGoExecute();
    void CreatePrefsBox();
    void CreateZakBox();
    // Starts a new instance and closes this one (the pages' save questions still come).
    void RestartProgram();
    // How RestartProgram starts the new instance; tests replace it.
    std::function<bool()> RestartLauncher;
    RecentFiles m_recent; // what the "Недавние" submenu shows
    void RebuildRecentMenu();
    // Opens a page's previous file at start-up; false when it is gone or cannot be opened.
    bool OpenPrevious(const std::string& fileName);

    // ---- Speech (TForm1Speech.cpp) ----
    void GetSAPI();
    void VoicesListCreate();
    void ComboBox1Change();
    void ClearReadingState();
    void ReleaseSpeech();
    bool EngineUsable() const;
    bool IsReading() const;
    bool IsPaused() const;
    void ASpeakExecute();
    void APauseExecute();
    void AStopExecute();
    void ASelSpeakExecute();
    void ACBSpeakExecute();
    void ASAPIExecute();
    void TimerNextFragmentTimer();
    void trSpeedChange();
    void trPitchChange();
    std::shared_ptr<vocalix::speech::Engines> Speech;  // engine objects of both generations
    std::shared_ptr<vocalix::speech::Reader> m_reader; // reading state
    std::shared_ptr<class SpeechBridge> m_speechBridge;
    void EnsureSpeech();

    // ---- Recording, series, batch recording (TForm1Record.cpp) ----
    bool IsRecording() const;
    // File name without folder of the audio file being made, or empty.
    std::string RecordingFileTitle() const;
    void AMP3Execute();
    void ASeriesExecute();
    void ABatchMP3Execute();
    // Records the active page; false when the batch that called it is to end (the engine
    // cannot be used).
    bool MP3();
    bool RecordSapi5(int start);
    bool RecordSapi4();
    // The status text and locked Stop while the encoder runs.
    void ShowConverting(bool on);
    QString m_panel3BeforeConverter; // status panel 3 while the encoder runs
    void ReportConversion(const audio::RecordOutcome& outcome);
    void BatchMP3(const std::vector<std::string>& cp1251Files);
    // Called by the engine sink when the older generation's recording has ended: completes the
    // file, converts it and ends the wait of MP3.
    void FinishSapi4Recording();
    std::filesystem::path AudioFileName; // the WAV being written; empty when not recording
    bool BatchActive = false;
    bool BatchItemDone = false; // the older generation's recording of a batch item has ended
    int BatchIndex = 0;
    int BatchCount = 0;
    // The text a series being recorded was cut from: its parts are tagged as its parts.
    std::filesystem::path SeriesSource;
    // The open dialog's filter entries (the batch dialog shares them).
    static QStringList OpenFilterEntries();

    // ---- Dictionary panel (TForm1Dic.cpp) ----
    void ADicExecute();
    void AEditDicExecute();
    void SetChecks();
    std::string CheckedItemsToStr() const;
    void CheckListBox1OnClickCheck();
    // Voice or engine generation changed: a new voice starts without dictionaries (clears the
    // selection and runs ADicExecute once when it was not empty).
    void ClearDictionariesForNewVoice();
    // The window's pronunciation filter (one for the whole run; keeps its table while the
    // selected files are unchanged) and the hooks a filtering run gets (progress bar, pending
    // messages, magnifier timer).
    textprep::PronunciationFilter& pronunciationFilter();
    textprep::FilterHooks FilterHooksOfWindow();
    // Filter (pronunciation dictionaries of the selection) on the text, with IgnoreRules from
    // the settings. Out of memory: the fixed message, the window closes, the text stays as it
    // was and false is returned.
    bool Filter(std::string& text, bool keepLineBreaks, textprep::FilterMap* map = nullptr);

    // ---- Rules and spelling (TForm1Rules.cpp) ----
    void AChangeTextExecute();
    void ARulesToTextExecute();
    void AChangeTextFullExecute();
    void ARulesFullExecute();
    void AOrfoExecute();
    void AOrfoAddExecute();
    void AOrfoDelExecute();

    // ---- Editing and analysis tools (TForm1Edit.cpp, TForm1Analysis.cpp, TForm1Zoom.cpp) ----
    void AParagExecute();
    void AFontExecute();
    void AFindExecute();
    void AReplaceExecute();
    void ADeleBreaksExecute();
    void ABackGroundExecute();
    void AWrapTextExecute();
    void ANamesExecute();
    void AFMinusExecute();
    void AFMutualExecute();
    void AFUnionExecute();
    void AHuntExecute();
    void AFreshEyeExecute();
    void ATxtPropExecute();
    // The file set operations over two files the user chooses: 1 difference, 2 intersection,
    // 3 union (TForm1Analysis.cpp).
    void FOper(int operation);
    void AZoomExecute();
    void AUpperCaseExecute();
    void ALowerCaseExecute();
    void ANumToPhraseExecute();
    void AColumnTextExecute();
    void AColumnText2Execute();
    void AColumnText3Execute();
    void ATabToSpaceExecute();
    void ANbspToSpaceExecute();
    void AParagToLineExecute();
    void AQuotesSimpleExecute();
    void ATireToMinusExecute();
    void AMtSimpleExecute();
    void AMoveRightExecute();
    void AMoveLeftExecute();
    void ADeleSpacesExecute();
    void ADeleEmptyLinesExecute();
    void ASortTextExecute();
    void CreateZoom();
    // Long commands pause the magnifier's refresh and resume it when they end, also after an
    // error; it restarts only while the magnifier is shown.
    void PauseMagnifier();
    void ResumeMagnifier();
    // ---- Editing commands (TForm1Edit.cpp) ----
    void TextHorizontalMove(int direction);
    void AlphColumnText(int caseMode);
    // Typing assistance: the typed character before it is inserted; forget the word being
    // typed when the caret moves.
    void RichEditKeyPress(char& key);
    void ResetTypingWord();
    char lastKey = 0; // the previous character typed in a page; 0 = none
    // Find and replace (TForm1Edit.cpp): our own modeless dialogs, created on first use.
    FindReplaceDialog* FindDialog1 = nullptr;
    FindReplaceDialog* ReplaceDialog1 = nullptr;
    void FindDialog1Find(FindReplaceDialog* dialog, bool replaceAll);
    void ReplaceDialog1Replace(bool replaceAll);
    void AutoSpeakTyped(const std::string& piece);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildPages();
    void BuildCommands();
    void BuildMenus();
    void BuildToolBars();
    void BuildStatusBar();
    // The progress bar shows only while a long run or a recording is under way.
    void ShowProgressWhileWorking();
    void FormCreate();
    void FormCreateAfterPages();
    void RestorePages();
    // Puts the text of page n's recovery file, if there is one, into the page as modified.
    bool RestoreRecoveredPage(int page);
    // After a close the user answered for, no recovery file is wanted any more.
    void RemoveRecovery();
    void FinishEndSession();
    bool IsRecoveredPage(int page) const;
    void InstallActiveEditor(PageEditor* editor);
    void OnEditorKey(int key, bool up);
    void OnEditorMouse();
    void UpdateEditCommands();
    QAction* AddItem(QMenu* menu, const char* itemName, const char* commandName);
    // Editing commands (TForm1Edit.cpp).
    class ToolRun;
    // Replaces the text of `page` (the active one when null), marking it modified.
    void PutPageText(const std::string& text, PageEditor* page = nullptr);
    void WholeTextCommand(const std::function<std::string(const std::string&)>& change);
    void SelectionCommand(const std::function<std::string(const std::string&)>& change);
    void RebuildPageText(const std::function<std::string(const std::string&)>& change);
    tools::ProgressHooks ToolProgress();

    Prompter& m_prompter;
    GlobalHotKeys m_hotKeys;
    QMetaObject::Connection m_selChange;
    int m_lastPageIndex = 0;
    bool m_closing = false;
    bool m_endingSession = false; // EndSession closes without questions
    bool m_programmaticSwitch = false;
    bool m_destroyed = false;
    bool m_startPending = false;       // the pages wait for FinishStart
    std::vector<int> m_recoveredPages; // given back at start the text an unchosen end left
    // Unsaved pages on disk (SessionEnd.cpp): written every minute when changed, and at an end
    // the user did not choose.
    std::unique_ptr<RecoveryStore> m_recovery;
    std::array<bool, kPages + 1> m_recoveryWritten{};     // the page's file holds a text
    std::array<bool, kPages + 1> m_recoveryDirty{};       // the text changed since
    std::array<std::string, kPages + 1> m_recoveryName{}; // the file name it was written with
    // Dictionary panel (TForm1Dic.cpp).
    DictionaryList* m_dicList = nullptr;
    std::unique_ptr<textprep::PronunciationFilter> m_pronunciationFilter;
    bool m_dicVoiceChanged = false;
    int m_dicPanelWidth = 0; // dragged by the user; 0: fit the dictionary names
    int DicPanelWidth() const;
};

} // namespace vocalix::shell
