#include "FormTestUtil.h"
#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/Cp1251.h"
#include "shell/FindReplaceDialog.h"
#include "shell/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <memory>

using vocalix::base::Cp;
using namespace vocalix::shell;
using vocalix::shell::testing::ScriptedPrompter;
namespace fs = std::filesystem;

// The editing commands driven through their actions on a real page.
class TForm1EditTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void wholeTextCommandsChangeThePage();
    void selectionCommandsNeedASelection();
    void formattingUsesTheLitTextSettings();
    void shiftKeepsSelectedLinesSelected();
    void lookOfAllPages();
    void typingAssistance();
    void findAsksOnceAndStartsAgainFromTheTop();
    void replaceAllIgnoringCaseAndSingleReplace();

private:
    void SetPage(const char* utf8, int selStart = 0, int selLength = 0) {
        page()->SetText(Cp(utf8));
        page()->SetModified(false);
        page()->SetSelection(selStart, selLength);
    }
    void Run(const char* command) { m_form->Command(command)->trigger(); }
    // Key presses with their text, as a keyboard with a Russian layout sends them.
    void Type(const char* utf8) {
        for (const QChar c : QString::fromUtf8(utf8)) {
            QKeyEvent press(QEvent::KeyPress, c == u' ' ? Qt::Key_Space : Qt::Key_unknown,
                            Qt::NoModifier, QString(c));
            QApplication::sendEvent(page(), &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(page(), &release);
        }
    }
    PageEditor* page() { return m_form->ActiveEditor; }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TForm1> m_form;
};

void TForm1EditTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    fs::create_directories(fs::path(m_dir->path().toStdString()) / "dic");
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_form = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    m_form->CreateOtherWindows();
}

void TForm1EditTest::cleanup() {
    vocalix::shell::testing::ForgetPageChanges(*m_form);
    m_form.reset();
    QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
    m_prompter.reset();
    m_dir.reset();
}

void TForm1EditTest::wholeTextCommandsChangeThePage() {
    struct Case {
        const char* command;
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"ADeleBreaks", "пере-\r\n  ход дальше", "переход\r\nдальше"},
        {"ATireToMinus", "а — б", "а - б"},
        {"ADeleSpaces", "а   б\r\n  в", "а б\r\n    в"},
        {"AColumnText", "Мама, мыла раму!", "мама\r\nмыла\r\nраму"},
        {"AColumnText3", "мама Мама", " Мама\r\nмама\r\n"},
        {"ASortText", "б\r\nа\r\nб", "а\r\nб\r\n"},
    };
    for (const Case& c : cases) {
        SetPage(c.in);
        Run(c.command);
        QCOMPARE(page()->Text(), Cp(c.out));
        QVERIFY2(page()->Modified(), c.command);
        QVERIFY2(!page()->ReadOnly(), c.command);
    }
    // Nothing to change: the page stays unmodified.
    SetPage("без перемен");
    Run("AQuotesSimple");
    QVERIFY(!page()->Modified());
}

void TForm1EditTest::selectionCommandsNeedASelection() {
    SetPage("ёлка 21000 шт.", 0, 4);
    Run("AUpperCase");
    QCOMPARE(page()->Text(), Cp("ЁЛКА 21000 шт."));
    page()->SetSelection(5, 5);
    Run("ANumToPhrase");
    QCOMPARE(page()->Text(), Cp("ЁЛКА двадцать одна тысяча шт."));
    page()->SetSelection(0, 0);
    Run("ALowerCase");
    QCOMPARE(page()->Text(), Cp("ЁЛКА двадцать одна тысяча шт."));
}

void TForm1EditTest::formattingUsesTheLitTextSettings() {
    m_form->m_options.MaxLen = 12;
    m_form->m_options.Parag = 2;
    SetPage("  aaa bbb\r\n  ccc ddd eee\r\n  — fff", 5, 0);
    Run("AParag");
    QCOMPARE(page()->Text(), std::string("aaa bbb ccc \r\nddd eee \r\n  - fff "));
    QCOMPARE(page()->SelStart(), 0);
    QVERIFY(page()->Modified());
    QVERIFY(!page()->ReadOnly());
    QVERIFY(m_form->Command("AParag")->isEnabled());
}

void TForm1EditTest::shiftKeepsSelectedLinesSelected() {
    SetPage("aa\r\nbb\r\ncc\r\ndd", 4, 8);
    Run("AMoveRight");
    QCOMPARE(page()->Text(), std::string("aa\r\n bb\r\n cc\r\ndd"));
    QCOMPARE(page()->SelText(), std::string(" bb\r\n cc\r\n"));
    Run("AMoveLeft");
    QCOMPARE(page()->Text(), std::string("aa\r\nbb\r\ncc\r\ndd"));
    page()->SetSelection(0, 0);
    Run("AMoveRight");
    QCOMPARE(page()->Text(), std::string(" aa\r\n bb\r\n cc\r\n dd"));
}

void TForm1EditTest::lookOfAllPages() {
    const bool wrap = m_form->m_options.WordWrap;
    Run("AWrapText");
    for (int p = 1; p <= TForm1::kPages; ++p)
        QCOMPARE(m_form->RichEdit[p]->WordWrap(), !wrap);
    QCOMPARE(m_form->m_options.WordWrap, !wrap);
    QCOMPARE(m_form->Item("NFormatWrap")->isChecked(), !wrap);

    // An earlier unsaved change survives the font change; the font change itself is none.
    m_form->RichEdit[3]->SetText("x");
    m_form->RichEdit[3]->SetModified(true);
    QFont font = page()->EditorFont();
    font.setPointSize(23);
    m_prompter->fonts.push_back(font);
    Run("AFont");
    for (int p = 1; p <= TForm1::kPages; ++p) {
        QCOMPARE(m_form->RichEdit[p]->EditorFont().pointSize(), 23);
        QCOMPARE(m_form->RichEdit[p]->Modified(), p == 3);
    }
    m_prompter->fonts.push_back(std::nullopt);
    Run("AFont");
    QCOMPARE(page()->EditorFont().pointSize(), 23);

    m_prompter->colors.push_back(QColor(10, 20, 30));
    Run("ABackGround");
    for (int p = 1; p <= TForm1::kPages; ++p)
        QCOMPARE(m_form->RichEdit[p]->BackgroundColor(), QColor(10, 20, 30));
}

void TForm1EditTest::typingAssistance() {
    m_form->show();
    m_form->m_options.AutoRepl = true;
    m_form->m_options.AutoCap = true;
    m_form->m_options.AutoParag = true;
    SetPage("");
    page()->setFocus();
    Type("да - \"нет\". ну...");
    QTest::keyClick(page(), Qt::Key_Return);
    Type(" ещё ");
    QCOMPARE(page()->Text(), Cp("Да – «нет». Ну…\r\n    Ещё "));
    // A mouse click forgets the last key: a quote typed before it stays plain.
    SetPage("");
    Type("\"");
    QCOMPARE(int(m_form->lastKey), int('"'));
    QTest::mouseClick(page()->viewport(), Qt::LeftButton);
    QCOMPARE(int(m_form->lastKey), 0);
}

void TForm1EditTest::findAsksOnceAndStartsAgainFromTheTop() {
    SetPage("один два один", 0, 4);
    Run("AFind");
    QVERIFY(m_form->FindDialog1 && m_form->FindDialog1->isVisible());
    QCOMPARE(m_form->FindDialog1->FindText(), Cp("один"));
    m_form->FindDialog1Find(m_form->FindDialog1, false);
    QCOMPARE(page()->SelStart(), 9);
    QCOMPARE(page()->SelLength(), 4);
    m_prompter->answers.push_back(Answer::Yes);
    m_form->FindDialog1Find(m_form->FindDialog1, false);
    QCOMPARE(m_prompter->asked.size(), qsizetype(1));
    QCOMPARE(m_prompter->asked.back().text,
             QString::fromUtf8("Текст \"один\" далее не найден. Продолжать?"));
    QCOMPARE(page()->SelStart(), 0);
    QVERIFY(m_form->FindDialog1->isVisible());
    m_form->FindDialog1Find(m_form->FindDialog1, false);
    QCOMPARE(page()->SelStart(), 0);
    QCOMPARE(page()->SelLength(), 4);
    // Any answer but Yes closes the dialog.
    page()->SetSelection(9, 4);
    m_prompter->answers.push_back(Answer::No);
    m_form->FindDialog1Find(m_form->FindDialog1, false);
    QVERIFY(!m_form->FindDialog1->isVisible());
    QCOMPARE(page()->Text(), Cp("один два один"));
}

void TForm1EditTest::replaceAllIgnoringCaseAndSingleReplace() {
    SetPage("Ёлка и ёлка, ЁЛКА", 0, 0);
    Run("AReplace");
    FindReplaceDialog* dialog = m_form->ReplaceDialog1;
    QVERIFY(dialog && dialog->isVisible());
    dialog->SetFindText(Cp("ёлка"));
    dialog->SetReplaceText(Cp("ель"));
    dialog->findChild<QPushButton*>(QStringLiteral("ReplaceAll"))->click();
    QCOMPARE(page()->Text(), Cp("ель и ель, ель"));
    QVERIFY(page()->Modified());

    SetPage("a b a", 0, 0);
    dialog->SetFindText("a");
    dialog->SetReplaceText("c");
    dialog->SetMatchCase(true);
    dialog->findChild<QPushButton*>(QStringLiteral("FindNext"))->click();
    QCOMPARE(page()->SelText(), std::string("a"));
    dialog->findChild<QPushButton*>(QStringLiteral("ReplaceOne"))->click();
    QCOMPARE(page()->Text(), std::string("c b a"));
}

VOCALIX_QTEST_MAIN(TForm1EditTest)
#include "TForm1Edit_qtest.moc"
