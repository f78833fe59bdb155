#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/IniFile.h"
#include "base/QtText.h"
#include "base/Settings.h"
#include "shell/Bookmarks.h"
#include "shell/Profiles.h"
#include "shell/TForm1.h"
#include "shell/TPrefsBox.h"
#include "shell/TZakBox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using vocalix::base::Cp;
using namespace vocalix;
using namespace vocalix::shell;
using vocalix::shell::testing::ScriptedPrompter;
namespace fs = std::filesystem;

namespace {

using vocalix::base::U;

// Runs `inside` once the modal dialog that `open` shows is up.
void WithDialog(const std::function<void()>& inside, const std::function<void()>& open) {
    QTimer::singleShot(0, inside);
    open();
}

} // namespace

class TForm1PrefsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter = std::make_unique<ScriptedPrompter>();
        SetCommandLineFile(QString());
    }
    void cleanup() {
        m_form.reset();
        QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
        m_prompter.reset();
        m_dir.reset();
        SetCommandLineFile(QString());
    }

    void firstStartWithoutSettingsFile();
    void settingsWrittenAtShutdownInKeyOrder();
    void picMarginIsBounded();
    void ignorePrevStartsEmpty();
    void negativeConverterReadsAsMp3();
    void roundTripOfOptionsGeometryAndPageSlots();
    void roundTripOfPageTextsAndCarets();
    void commandLineFileReplacesTheActivePage();
    void commandLineFileThatCannotBeOpenedIsReported();
    void prefsDialogShowsCorrectedValuesAndCancelKeepsTheFile();
    void prefsDialogOkAppliesAtOnce();
    void recentFilesLoadAtMostFifteen();
    void recentClickMissingFileKeepsThePage();
    void recentClearEntry();
    void bookmarksAddAndGo();
    void bookmarksDeleteAll();
    void profileSaveLoadAndDefault();

private:
    fs::path Dir() const { return fs::path(m_dir->path().toStdString()); }
    fs::path Settings() const { return base::SettingsPath(Dir()); }
    std::string SettingsText() const {
        std::string s;
        base::ReadFileBytes(Settings(), s);
        return s;
    }
    void WriteSettings(const std::string& text) {
        QVERIFY(base::WriteFileAtomic(Settings(), text));
    }
    // A file in the temporary folder (name in UTF-8); returns its Windows-1251 path.
    std::string MakeFile(const std::string& name, const std::string& text) {
        const fs::path p = Dir() / name;
        base::WriteFileAtomic(p, text);
        return CpPath(p);
    }
    TForm1& Start() {
        m_form = std::make_unique<TForm1>(Dir(), *m_prompter);
        m_form->CreateOtherWindows();
        return *m_form;
    }
    void Stop() { m_form.reset(); }
    TPrefsBox* Prefs() { return static_cast<TPrefsBox*>(m_form->PrefsBox); }
    TZakBox* Zak() { return static_cast<TZakBox*>(m_form->ZakBox); }
    bool XOpenLoadsText() {
        const std::string probe = MakeFile("probe.txt", "probe\r\n");
        TForm1& f = *m_form;
        const std::string before = f.ActiveEditor->Text();
        f.CurrentFileName = probe;
        f.XOpen(probe);
        const bool loaded = f.ActiveEditor->Text() == "probe\r\n";
        f.ActiveEditor->SetText(before);
        f.ActiveEditor->SetModified(false);
        f.CurrentFileName.clear();
        return loaded;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TForm1> m_form;
};

void TForm1PrefsTest::firstStartWithoutSettingsFile() {
    TForm1& f = Start();
    // The start-up writes the file back, and it holds no keys yet.
    QVERIFY(fs::exists(Settings()));
    QCOMPARE(SettingsText(), std::string());
    QCOMPARE(f.width(), 714);
    QCOMPARE(f.height(), 584);
    QCOMPARE(f.m_options.Scale, 100);
    QCOMPARE(f.GetZoom(), 100);
    QCOMPARE(f.m_options.AllParam, std::string("-b64 -h"));
    QCOMPARE(f.m_options.ACNumber, 1);
    QCOMPARE(f.ActiveEditor->EditorFont().pointSize(), 10);
    for (int n = 1; n <= TForm1::kPages; ++n) {
        QVERIFY(f.RichEdit[n]->IsEmpty());
        QVERIFY(f.PageFileName[n].empty());
    }
    QCOMPARE(f.NFileRecent->actions().size(), 0);
}

void TForm1PrefsTest::settingsWrittenAtShutdownInKeyOrder() {
    Start();
    Stop();
    base::IniFile ini;
    ini.Parse(SettingsText());
    const std::vector<std::string> sections = {"SpeechEngine",   "Audio",  "Text",    "Form",
                                               "AudioConverter", "Series", "LitText", "SAPI",
                                               "FreshEye",       "Others", "Font",    "Background",
                                               "Extra"};
    QCOMPARE(ini.Sections(), sections);
    QCOMPARE(ini.Keys("Text").front(), std::string("FileName1"));
    QCOMPARE(ini.Keys("Text").size(), size_t(40 + 12));
    QCOMPARE(ini.ReadString("Others", "GKName", ""), Cp("<нет>"));
    QCOMPARE(ini.ReadInteger("Font", "Size", 0), 10);
    QCOMPARE(ini.ReadInteger("Background", "Color", 0), -16777211);
    QCOMPARE(ini.ReadInteger("Form", "Width", 0), 714);
    // "$.rec" is written with the settings.
    QVERIFY(fs::exists(Dir() / "$.rec"));
}

void TForm1PrefsTest::picMarginIsBounded() {
    WriteSettings("[Text]\r\nPicMargin=20\r\n");
    QCOMPARE(Start().m_options.PicMargin, 100);
    Stop();
    WriteSettings("[Text]\r\nPicMargin=5000\r\n[Form]\r\nWidth=800\r\n");
    TForm1& f = Start();
    QCOMPARE(f.m_options.PicMargin, f.width() - 146);
    QCOMPARE(f.width(), 800);
}

void TForm1PrefsTest::ignorePrevStartsEmpty() {
    const std::string file = MakeFile("a.txt", "text\r\n");
    WriteSettings("[Text]\r\nFileName1=" + file +
                  "\r\nBookMarks1=3\r\nWordWrap=1\r\n"
                  "[Others]\r\nIgnorePrev=1\r\n");
    TForm1& f = Start();
    QVERIFY(f.PageFileName[1].empty());
    QVERIFY(f.PageBookMarks[1].empty());
    QVERIFY(f.RichEdit[1]->IsEmpty());
    QVERIFY(!f.RichEdit[1]->WordWrap());
}

void TForm1PrefsTest::negativeConverterReadsAsMp3() {
    WriteSettings("[AudioConverter]\r\nACNumber=-3\r\n");
    QCOMPARE(Start().m_options.ACNumber, 1);
    Stop();
    // The engine generation decides the audio format's default and survives a shutdown.
    WriteSettings("[SAPI]\r\nSAPI5=1\r\n");
    TForm1& f = Start();
    QVERIFY(f.m_options.SAPI5);
    QCOMPARE(f.m_options.XNumber, 18);
    Stop();
    base::IniFile ini;
    ini.Parse(SettingsText());
    QVERIFY(ini.ReadBool("SAPI", "SAPI5", false));
}

void TForm1PrefsTest::roundTripOfOptionsGeometryAndPageSlots() {
    std::array<std::string, 11> files;
    {
        TForm1& f = Start();
        for (int n = 1; n <= TForm1::kPages; ++n) {
            files[n] = MakeFile("page" + std::to_string(n) + " книга.txt", "x");
            f.PageFileName[n] = files[n];
            f.PagePicNumber[n] = n;
            f.PageBookMarks[n] = std::to_string(n) + "|" + std::to_string(10 * n);
        }
        f.ActivatePage(6);
        f.PageControl1Change();
        f.move(40, 30);
        f.resize(900, 640);
        f.SetZoom(150);
        f.m_options.Deep = 7;
        f.m_options.GKName = "Ctrl+F5";
        f.m_options.AllParam = "-V 4";
        f.m_options.Dictionary = "a.dic+b.ini";
        QFont font = f.ActiveEditor->EditorFont();
        font.setPointSize(14);
        font.setItalic(true);
        for (int n = 1; n <= TForm1::kPages; ++n)
            f.RichEdit[n]->SetEditorFont(font);
        f.ActiveEditor->SetBackgroundColor(QColor(0x20, 0x40, 0x80));
        Stop();
    }
    TForm1& f = Start();
    QCOMPARE(f.ActivePageIndex(), 6);
    QCOMPARE(f.pos(), QPoint(40, 30));
    QCOMPARE(f.size(), QSize(900, 640));
    QCOMPARE(f.m_options.Scale, 150);
    QCOMPARE(f.GetZoom(), 150);
    QCOMPARE(f.m_options.Deep, 7);
    QCOMPARE(f.m_options.GKName, std::string("Ctrl+F5"));
    QCOMPARE(f.m_options.AllParam, std::string("-V 4"));
    QCOMPARE(f.m_options.Dictionary, std::string("a.dic+b.ini"));
    for (int n = 1; n <= TForm1::kPages; ++n) {
        QCOMPARE(f.PageFileName[n], files[n]);
        QCOMPARE(f.PagePicNumber[n], n);
        QCOMPARE(f.PageBookMarks[n], std::to_string(n) + "|" + std::to_string(10 * n));
        QCOMPARE(f.RichEdit[n]->EditorFont().pointSize(), 14);
        QVERIFY(f.RichEdit[n]->EditorFont().italic());
        QCOMPARE(f.RichEdit[n]->BackgroundColor(), QColor(0x20, 0x40, 0x80));
    }
    QCOMPARE(f.CurrentFileName, files[7]);
    // The recent list holds the reopened files, newest last opened first.
    QCOMPARE(f.NFileRecent->actions().size(), 12);
}

void TForm1PrefsTest::roundTripOfPageTextsAndCarets() {
    Start();
    if (!XOpenLoadsText())
        QFAIL("XOpen did not load the text: previous files cannot be reopened");
    std::array<std::string, 11> files, texts;
    {
        TForm1& f = *m_form;
        for (int n = 1; n <= TForm1::kPages; ++n) {
            texts[n] = Cp("Страница ") + std::to_string(n) + "\r\n" + std::string(50 * n, 'a');
            files[n] = MakeFile("p" + std::to_string(n) + ".txt", texts[n]);
            f.ActivatePage(n - 1);
            f.PageControl1Change();
            f.CurrentFileName = files[n];
            f.XOpen(files[n]);
            f.PageFileName[n] = files[n];
            f.ActiveEditor->SetModified(false);
            f.ActiveEditor->SetSelStart(5 * n);
        }
        f.ActivatePage(2);
        f.PageControl1Change();
        Stop();
    }
    TForm1& f = Start();
    QCOMPARE(f.ActivePageIndex(), 2);
    for (int n = 1; n <= TForm1::kPages; ++n) {
        QCOMPARE(f.RichEdit[n]->Text(), texts[n]);
        QCOMPARE(f.RichEdit[n]->SelStart(), 5 * n);
        QVERIFY(!f.RichEdit[n]->Modified());
    }
    QCOMPARE(f.ActiveEditor, f.RichEdit[3]);
}

void TForm1PrefsTest::commandLineFileReplacesTheActivePage() {
    const std::string old = MakeFile("old.txt", "old\r\n");
    const std::string arg = MakeFile("arg.txt", "arg\r\n");
    WriteSettings("[Text]\r\nFileName2=" + old +
                  "\r\nBookMarks2=1|2\r\nCharPos2=3\r\n"
                  "ActivePageIndex=1\r\n");
    SetCommandLineFile(base::ToQString(arg));
    TForm1& f = Start();
    QCOMPARE(f.PageFileName[2], arg);
    QCOMPARE(f.CurrentFileName, arg);
    QVERIFY(f.PageBookMarks[2].empty());
    QCOMPARE(f.PageCharPos[2], 0);
    QVERIFY(!f.Item("NZakladGo")->isEnabled());
}

void TForm1PrefsTest::commandLineFileThatCannotBeOpenedIsReported() {
    const std::string old = MakeFile("old.txt", "old\r\n");
    const fs::path missing = Dir() / "missing.txt";
    for (const fs::path& arg : {missing, Dir()}) {
        WriteSettings("[Text]\r\nFileName2=" + old + "\r\nActivePageIndex=1\r\n");
        SetCommandLineFile(QString::fromStdString(arg.string()));
        m_prompter->asked.clear();
        TForm1& f = Start();
        QCOMPARE(f.PageFileName[2], old);
        QCOMPARE(f.RichEdit[2]->Text(), std::string("old\r\n"));
        QCOMPARE(int(m_prompter->asked.size()), 1);
        QVERIFY2(m_prompter->asked[0].text.contains(QString::fromStdString(arg.string())),
                 qPrintable(m_prompter->asked[0].text));
        m_form.reset();
    }
}

void TForm1PrefsTest::prefsDialogShowsCorrectedValuesAndCancelKeepsTheFile() {
    WriteSettings("[FreshEye]\r\nDeep=0\r\n\r\n[Series]\r\nBytesInBlock=300\r\n\r\n"
                  "[Text]\r\nAutoRepeat=25\r\n\r\n[Others]\r\nGKName=Ctrl+Shift+F5\r\n\r\n");
    TForm1& f = Start();
    f.m_options.Scale = 130;
    QString deep, block, repeat, key;
    WithDialog(
        [&] {
            deep = Prefs()->eFE1->text();
            block = Prefs()->eNB->text();
            repeat = Prefs()->eRepeat->text();
            key = Prefs()->cbGKey->currentText();
            QCOMPARE(Prefs()->PageControl1->currentIndex(), 0);
            Prefs()->eFE1->setText("9");
            QTest::mouseClick(Prefs()->btESC, Qt::LeftButton);
        },
        [&] { f.ASetPrefsExecute(); });
    QCOMPARE(deep, U("1"));
    QCOMPARE(block, U("500"));
    QCOMPARE(repeat, U("10"));
    QCOMPARE(key, U("<нет>"));
    base::IniFile ini;
    ini.Parse(SettingsText());
    QCOMPARE(ini.ReadInteger("FreshEye", "Deep", -1), 0);
    QCOMPARE(ini.ReadInteger("Text", "Scale", -1), 130);
    QCOMPARE(ini.ReadString("Others", "GKName", ""), std::string("Ctrl+Shift+F5"));
    QCOMPARE(f.m_options.Deep, 0); // re-read from the file
}

void TForm1PrefsTest::prefsDialogOkAppliesAtOnce() {
    TForm1& f = Start();
    WithDialog(
        [&] {
            Prefs()->chkbCursor->setChecked(true);
            Prefs()->eFE2->setText("80");
            Prefs()->cbGKey2->setCurrentIndex(66);
            QTest::mouseClick(Prefs()->btOK, Qt::LeftButton);
        },
        [&] { f.ASetPrefsExecute(); });
    QVERIFY(f.m_options.HandPointCursor);
    QCOMPARE(f.m_options.Similarity, 80);
    QCOMPARE(f.m_options.GKName2, std::string("Ctrl+A"));
    for (int n = 1; n <= TForm1::kPages; ++n)
        QCOMPARE(f.RichEdit[n]->viewport()->cursor().shape(), Qt::PointingHandCursor);
}

void TForm1PrefsTest::recentFilesLoadAtMostFifteen() {
    std::string rec;
    for (int i = 1; i <= 20; ++i)
        rec += MakeFile("r" + std::to_string(i) + ".txt", "x") + "\r\n";
    rec += CpPath(Dir() / "gone.txt") + "\r\n";
    QVERIFY(base::WriteFileAtomic(Dir() / "$.rec", rec));
    TForm1& f = Start();
    const auto actions = f.NFileRecent->actions();
    QCOMPARE(actions.size(), 17);
    QVERIFY(actions[15]->isSeparator());
    QCOMPARE(actions[16]->text(), U("ОЧИСТИТЬ СПИСОК"));
    QCOMPARE(actions[0]->statusTip(), U("Открыть недавний"));
    // Opening a new file replaces the oldest entry.
    const std::string extra = MakeFile("extra.txt", "x");
    f.RecentChange(extra);
    QCOMPARE(f.NFileRecent->actions().size(), 17);
    QCOMPARE(base::FromQString(f.NFileRecent->actions()[0]->text()), extra);
    Stop();
    std::string saved;
    base::ReadFileBytes(Dir() / "$.rec", saved);
    QCOMPARE(std::count(saved.begin(), saved.end(), '\n'), 15L);
    QVERIFY(saved.rfind(extra + "\r\n", 0) == 0);
}

void TForm1PrefsTest::recentClickMissingFileKeepsThePage() {
    const std::string a = MakeFile("a.txt", "aaa\r\n");
    const std::string b = MakeFile("b.txt", "bbb\r\n");
    QVERIFY(base::WriteFileAtomic(Dir() / "$.rec", a + "\r\n" + b + "\r\n"));
    TForm1& f = Start();
    f.ActiveEditor->SetText("mine");
    f.ActiveEditor->SetModified(false);
    f.PageBookMarks[1] = "1|2";
    fs::remove(FsPath(b));
    f.NFileRecent->actions()[1]->trigger();
    QCOMPARE(f.ActiveEditor->Text(), std::string("mine"));
    QCOMPARE(f.PageBookMarks[1], std::string("1|2"));
    QCOMPARE(f.NFileRecent->actions().size(), 3);
    // An existing entry loads as plain text, after the question about the changed page.
    f.ActiveEditor->SetModified(true);
    m_prompter->answers.push_back(Answer::No);
    f.NFileRecent->actions()[0]->trigger();
    QCOMPARE(m_prompter->asked.back().text, U("Текст в окне был изменен. Сохранить?"));
    QCOMPARE(f.ActiveEditor->Text(), std::string("aaa\r\n"));
    QCOMPARE(f.PageFileName[1], a);
    QVERIFY(f.PageBookMarks[1].empty());
    QVERIFY(!f.ActiveEditor->Modified());
    // Cancel stops before anything happens.
    f.ActiveEditor->SetModified(true);
    m_prompter->answers.push_back(Answer::Cancel);
    f.NFileRecent->actions().last()->trigger();
    QCOMPARE(f.NFileRecent->actions().size(), 3);
    f.ActiveEditor->SetModified(false);
}

void TForm1PrefsTest::recentClearEntry() {
    const std::string a = MakeFile("a.txt", "aaa\r\n");
    QVERIFY(base::WriteFileAtomic(Dir() / "$.rec", a + "\r\n"));
    TForm1& f = Start();
    QCOMPARE(f.NFileRecent->actions().size(), 3);
    f.NFileRecent->actions().last()->trigger();
    QCOMPARE(f.NFileRecent->actions().size(), 0);
    Stop();
    std::string saved = "not empty";
    base::ReadFileBytes(Dir() / "$.rec", saved);
    QCOMPARE(saved, std::string());
}

void TForm1PrefsTest::bookmarksAddAndGo() {
    TForm1& f = Start();
    f.ActiveEditor->SetText(std::string(1000, 'x'));
    f.ActiveEditor->SetModified(false);
    f.ActiveEditor->SetSelStart(0);
    f.AZakAddExecute();
    QVERIFY(f.Item("NZakladGo")->isEnabled());
    f.ActiveEditor->SetSelStart(500);
    f.AZakAddExecute();
    QCOMPARE(f.PageBookMarks[1], std::string("0|500"));
    f.ActiveEditor->SetSelStart(10);
    QStringList shown;
    WithDialog(
        [&] {
            for (int i = 0; i < Zak()->ListBox1->count(); ++i)
                shown << Zak()->ListBox1->item(i)->text().left(9);
            Zak()->ListBox1->setCurrentRow(1);
            QTest::mouseClick(Zak()->Button1, Qt::LeftButton);
        },
        [&] { f.AZakGoExecute(); });
    QCOMPARE(shown, (QStringList{"001  (01)", "002  (50)"}));
    QCOMPARE(f.ActiveEditor->SelStart(), 500);
    // Deleting one entry rewrites the page's bookmarks.
    WithDialog(
        [&] {
            Zak()->DelButtonClick();
            Zak()->ESCButtonClick();
        },
        [&] { f.AZakGoExecute(); });
    QCOMPARE(f.PageBookMarks[1], std::string("500"));
    f.ActiveEditor->SetModified(false);
}

void TForm1PrefsTest::bookmarksDeleteAll() {
    TForm1& f = Start();
    f.PageBookMarks[1] = "3|x|7";
    f.SetItemEnabled("NZakladGo", true);
    int entries = 0;
    m_prompter->answers.push_back(Answer::Yes);
    WithDialog(
        [&] {
            entries = Zak()->ListBox1->count();
            QTest::mouseClick(Zak()->btSave, Qt::LeftButton);
        },
        [&] { f.AZakGoExecute(); });
    QCOMPARE(entries, 2); // the piece that is no number is skipped
    QCOMPARE(m_prompter->asked.back().text, U("В самом деле хотите удалить ВСЕ закладки?"));
    QCOMPARE(m_prompter->asked.back().caption, U("Удалить все закладки"));
    QVERIFY(m_prompter->asked.back().preselected == Answer::No);
    QVERIFY(f.PageBookMarks[1].empty());
    QVERIFY(!f.Item("NZakladGo")->isEnabled());
}

void TForm1PrefsTest::profileSaveLoadAndDefault() {
    TForm1& f = Start();
    int restarts = 0;
    f.RestartLauncher = [&] {
        ++restarts;
        return true;
    };
    f.m_options.Deep = 3;
    const QString profile = m_dir->path() + "/profiles/small.ini";
    m_prompter->saveFiles.push_back(profile);
    f.AProfileSaveExecute();
    const FileDialogOptions& save = m_prompter->fileDialogs.back();
    QCOMPARE(save.title, U("Сохранить профиль как"));
    QCOMPARE(save.initialDir, QString::fromStdString((Dir() / "profiles").string()));
    base::IniFile ini;
    ini.Load(profile.toStdString());
    QCOMPARE(ini.ReadInteger("FreshEye", "Deep", 0), 3);

    // Cancelling the open dialog changes nothing.
    m_prompter->openFiles.push_back(QString());
    f.AProfileLoadExecute();
    QVERIFY(f.SaveOnExit);
    QCOMPARE(restarts, 0);

    // Loading replaces the settings file; the ending instance does not overwrite it.
    QVERIFY(base::WriteFileAtomic(profile.toStdString(), "[FreshEye]\r\nDeep=5\r\n"));
    m_prompter->openFiles.push_back(profile);
    f.AProfileLoadExecute();
    QCOMPARE(m_prompter->fileDialogs.back().title, U("Загрузить профиль"));
    QVERIFY(!f.SaveOnExit);
    QCOMPARE(restarts, 1);
    Stop();
    QCOMPARE(SettingsText(), std::string("[FreshEye]\r\nDeep=5\r\n"));

    // The standard profile: the file goes and the next start has every default.
    TForm1& g = Start();
    QCOMPARE(g.m_options.Deep, 5);
    g.RestartLauncher = [&] {
        ++restarts;
        return true;
    };
    g.AProfileDefaultExecute();
    QCOMPARE(restarts, 2);
    Stop();
    QVERIFY(!fs::exists(Settings()));
    QCOMPARE(Start().m_options.Deep, 11);
}

VOCALIX_QTEST_MAIN(TForm1PrefsTest)
#include "TForm1Prefs_qtest.moc"
