#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/Settings.h"
#include "shell/DeferredStart.h"
#include "shell/TForm1.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace vocalix;
using namespace vocalix::shell;
using vocalix::base::Cp;
using vocalix::shell::testing::ScriptedPrompter;
namespace fs = std::filesystem;

// A window whose pages come after it is shown must end up exactly as one that read them in
// its constructor: the same texts, carets, names, bookmarks, active page and commands, and
// the same settings and recent list written when it closes.
class DeferredStartTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter = std::make_unique<ScriptedPrompter>();
        for (int n = 1; n <= TForm1::kPages; ++n) {
            m_texts[n] = Cp("Страница ") + std::to_string(n) + "\r\n" +
                         std::string(4000 * n, static_cast<char>('a' + n)) + "\r\n";
            base::WriteFileAtomic(Dir() / ("p" + std::to_string(n) + ".txt"), m_texts[n]);
        }
        m_texts[7].clear(); // its file is gone: the page stays empty
        std::string ini = "[Text]\r\n";
        std::string rec;
        for (int n = 1; n <= TForm1::kPages; ++n) {
            const std::string file = CpPath(Dir() / ("p" + std::to_string(n) + ".txt"));
            ini += "FileName" + std::to_string(n) + "=" + file + "\r\n";
            ini += "CharPos" + std::to_string(n) + "=" + std::to_string(3 * n) + "\r\n";
            if (n % 3 == 0)
                ini += "BookMarks" + std::to_string(n) + "=1|5\r\n";
            rec = file + "\r\n" + rec;
        }
        ini += "ActivePageIndex=5\r\n";
        fs::remove(Dir() / "p7.txt");
        m_settings = ini;
        m_recent = rec;
    }
    void cleanup() {
        SetPagesRestoredAfterShow(false);
        QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
        m_prompter.reset();
        m_dir.reset();
    }

    void pagesAfterShowEndAsPagesAtConstruction();
    void closingBeforeThePagesCameKeepsThemInTheSettings();

private:
    struct State {
        std::vector<std::string> texts, names, bookmarks;
        std::vector<int> carets, charPos;
        std::vector<bool> modified;
        int active = -1;
        std::string current;
        QString title;
        bool bookmarkGo = false, series = false;
        std::string settings, recent;
    };

    fs::path Dir() const { return fs::path(m_dir->path().toStdString()); }
    void Prepare() {
        QVERIFY(base::WriteFileAtomic(base::SettingsPath(Dir()), m_settings));
        QVERIFY(base::WriteFileAtomic(Dir() / "$.rec", m_recent));
    }
    std::string FileText(const fs::path& file) const {
        std::string bytes;
        base::ReadFileBytes(file, bytes);
        return bytes;
    }
    void Run(bool afterShow, State& s) {
        Prepare();
        SetPagesRestoredAfterShow(afterShow);
        {
            TForm1 f(Dir(), *m_prompter);
            f.CreateOtherWindows();
            f.show();
            if (afterShow) {
                FinishStartOnceExposed(f);
                QTRY_COMPARE_WITH_TIMEOUT(f.RichEdit[6]->Text(), m_texts[6], 5000);
            }
            for (int n = 1; n <= TForm1::kPages; ++n) {
                const auto slot = static_cast<size_t>(n);
                s.texts.push_back(f.RichEdit[slot]->Text());
                s.carets.push_back(f.RichEdit[slot]->SelStart());
                s.names.push_back(f.PageFileName[slot]);
                s.charPos.push_back(f.PageCharPos[slot]);
                s.bookmarks.push_back(f.PageBookMarks[slot]);
                s.modified.push_back(f.PageModified[slot] || f.RichEdit[slot]->Modified());
            }
            s.active = f.ActivePageIndex();
            s.current = f.CurrentFileName;
            s.title = f.windowTitle();
            s.bookmarkGo = f.Item("NZakladGo")->isEnabled();
            s.series = f.Item("NPrefsSeries")->isEnabled();
            SetPagesRestoredAfterShow(false);
        }
        s.settings = FileText(base::SettingsPath(Dir()));
        s.recent = FileText(Dir() / "$.rec");
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::array<std::string, TForm1::kPages + 1> m_texts;
    std::string m_settings, m_recent;
};

void DeferredStartTest::pagesAfterShowEndAsPagesAtConstruction() {
    State now, later;
    Run(false, now);
    Run(true, later);
    for (int n = 1; n <= TForm1::kPages; ++n)
        QCOMPARE(now.texts[n - 1], m_texts[n]);
    QCOMPARE(now.active, 5);
    QCOMPARE(later.texts, now.texts);
    QCOMPARE(later.carets, now.carets);
    QCOMPARE(later.names, now.names);
    QCOMPARE(later.charPos, now.charPos);
    QCOMPARE(later.bookmarks, now.bookmarks);
    QCOMPARE(later.modified, now.modified);
    QCOMPARE(later.active, now.active);
    QCOMPARE(later.current, now.current);
    QCOMPARE(later.title, now.title);
    QCOMPARE(later.bookmarkGo, now.bookmarkGo);
    QCOMPARE(later.series, now.series);
    QCOMPARE(later.settings, now.settings);
    QCOMPARE(later.recent, now.recent);
}

void DeferredStartTest::closingBeforeThePagesCameKeepsThemInTheSettings() {
    State now;
    Run(false, now);
    Prepare();
    SetPagesRestoredAfterShow(true);
    {
        TForm1 f(Dir(), *m_prompter);
        QVERIFY(f.RichEdit[6]->IsEmpty()); // nothing read yet
    }
    QCOMPARE(FileText(base::SettingsPath(Dir())), now.settings);
    QCOMPARE(FileText(Dir() / "$.rec"), now.recent);
}

VOCALIX_QTEST_MAIN(DeferredStartTest)
#include "DeferredStart_qtest.moc"
