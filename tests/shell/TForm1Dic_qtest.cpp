#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "shell/TForm1.h"

#include <QAction>
#include <QListWidget>
#include <QProgressBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using vocalix::base::Cp;
using namespace vocalix::shell;
using vocalix::shell::testing::ScriptedPrompter;

class TForm1DicTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TForm1> m_form;
    TForm1& form() { return *m_form; }
    std::filesystem::path Dir() const { return m_dir->path().toStdString(); }
    void WriteDic(const char* name, const std::string& bytes) {
        QVERIFY(vocalix::base::WriteFileAtomic(Dir() / "dic" / name, bytes));
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        std::filesystem::create_directories(Dir() / "dic");
        WriteDic("b.dic", Cp("кот=пёс\r\n"));
        WriteDic("A.dic", Cp("кот=кошка\r\n_INIT_=<i>\r\n"));
        WriteDic("rules.ini", "x=y\r\n");
        m_prompter = std::make_unique<ScriptedPrompter>();
        m_form = std::make_unique<TForm1>(Dir(), *m_prompter);
        m_form->CreateOtherWindows();
    }
    void cleanup() {
        m_form.reset();
        QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
        m_prompter.reset();
        m_dir.reset();
    }

    void f10ShowsAndHidesThePanel() {
        form().m_options.Dictionary = "b.dic+gone.dic";
        QVERIFY(form().CheckListBox1->isHidden());
        QCOMPARE(form().Command("ADic")->shortcut(), QKeySequence(Qt::Key_F10));
        form().Command("ADic")->trigger();
        QVERIFY(!form().CheckListBox1->isHidden());
        QVERIFY(form().Splitter1Enabled());
        QCOMPARE(form().CheckListBox1->count(), 3);
        QCOMPARE(form().CheckListBox1->item(0)->text(), QStringLiteral("A.dic"));
        QCOMPARE(form().CheckListBox1->item(1)->checkState(), Qt::Checked);
        QCOMPARE(form().CheckedItemsToStr(), std::string("b.dic"));
        QCOMPARE(form().Item("TBDic")->statusTip(), QStringLiteral("b.dic+gone.dic"));
        form().Command("ADic")->trigger();
        QVERIFY(form().CheckListBox1->isHidden());
        QVERIFY(!form().Splitter1Enabled());
        // The selection outlives the hidden panel.
        QCOMPARE(form().m_options.Dictionary, std::string("b.dic+gone.dic"));
    }

    void ticksRebuildTheSelectionInPanelOrder() {
        form().m_options.Dictionary = "b.dic";
        form().ADicExecute();
        form().CheckListBox1->item(0)->setCheckState(Qt::Checked);
        QCOMPARE(form().m_options.Dictionary, std::string("A.dic+b.dic"));
        QCOMPARE(form().Item("TBDic")->statusTip(), QStringLiteral("A.dic+b.dic"));
        // Entries of the earlier file come first: "кот=кошка" wins over "кот=пёс".
        std::string text = Cp("Кот");
        QVERIFY(form().Filter(text, true));
        QCOMPARE(text, Cp("<i> Кошка"));
        form().CheckListBox1->item(0)->setCheckState(Qt::Unchecked);
        form().CheckListBox1->item(1)->setCheckState(Qt::Unchecked);
        QCOMPARE(form().m_options.Dictionary, std::string());
        text = Cp("Кот");
        form().Filter(text, true);
        QCOMPARE(text, Cp("Кот"));
    }

    void enterOpensTheDictionaryInPageZero() {
        form().ADicExecute();
        form().AEditDicExecute(); // nothing highlighted: nothing happens
        QCOMPARE(form().ActivePageIndex(), 0);
        form().CheckListBox1->setCurrentRow(0);
        form().CheckListBox1->setFocus();
        QTest::keyClick(form().CheckListBox1, Qt::Key_Return);
        QCOMPARE(form().ActivePageIndex(), 9);
        QVERIFY(form().ActiveEditor == form().RichEdit[10]);
        QCOMPARE(form().RichEdit[10]->Text(), Cp("кот=кошка\r\n_INIT_=<i>\r\n"));
        QVERIFY(!form().PageModified[10]);
        QVERIFY(form().CurrentFileName.size() > 5);
        QCOMPARE(form().CurrentFileName.substr(form().CurrentFileName.size() - 10),
                 std::string("/dic/A.dic"));
        QCOMPARE(form().PageFileName[10], form().CurrentFileName);
        // While a dictionary is the current document no dictionary applies.
        form().m_options.Dictionary = "A.dic";
        std::string text = Cp("кот");
        form().Filter(text, false);
        QCOMPARE(text, Cp("кот"));
        QCOMPARE(form().RichEdit[10]->Text(), Cp("кот=кошка\r\n_INIT_=<i>\r\n"));
    }

    void newVoiceStartsWithoutDictionaries() {
        form().m_options.Dictionary = "A.dic+b.dic";
        form().ADicExecute();
        QCOMPARE(form().CheckedItemsToStr(), std::string("A.dic+b.dic"));
        form().ClearDictionariesForNewVoice();
        QCOMPARE(form().m_options.Dictionary, std::string());
        QVERIFY(!form().CheckListBox1->isHidden()); // refilled, not hidden
        QCOMPARE(form().CheckedItemsToStr(), std::string());
        // Nothing selected: the hook leaves the panel alone.
        form().ADicExecute();
        QVERIFY(form().CheckListBox1->isHidden());
        form().ClearDictionariesForNewVoice();
        QVERIFY(form().CheckListBox1->isHidden());
    }

    // The bar shows only while the run moves it, and the pages do not move when it shows.
    void progressBarShowsOnlyWhileWorking() {
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        QVERIFY(!form().ProgressBar1->isVisible());
        const QRect pages = form().PageControl1->geometry();
        form().m_options.Dictionary = "A.dic";
        std::string text = Cp("кот кот кот");
        int shownSteps = 0;
        bool pagesMoved = false;
        connect(form().ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) {
            if (value > 0 && form().ProgressBar1->isVisible())
                ++shownSteps;
            pagesMoved = pagesMoved || form().PageControl1->geometry() != pages;
        });
        QVERIFY(form().Filter(text, false));
        QCOMPARE(shownSteps, 3);
        QVERIFY(!pagesMoved);
        QCOMPARE(form().ProgressBar1->value(), 0);
        QCOMPARE(form().ProgressBar1->maximum(), 3);
        QVERIFY(!form().ProgressBar1->isVisible());
        QCOMPARE(form().ProgressBar1->accessibleName(), QString::fromUtf8("Ход работы"));
    }
};

VOCALIX_QTEST_MAIN(TForm1DicTest)
#include "TForm1Dic_qtest.moc"
