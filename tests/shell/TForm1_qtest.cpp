#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/Cp1251.h"
#include "base/QtText.h"
#include "shell/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <fstream>
#include <memory>

using vocalix::base::Cp;
using namespace vocalix::shell;
using vocalix::shell::testing::ScriptedPrompter;

namespace {
using vocalix::base::U;
} // namespace

class TForm1Test : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void tenPagesWithCaptions();
    void namedComponentsExist();
    void commandTable_data();
    void commandTable();
    void menuAndPopupItemsFollowTheirCommands();
    void toolBar1Order();
    void unnamedPageWithTextGetsQuestionMarks();
    void namedPageTitle();
    void reportPageKeepsCaption();
    void statusLine();
    void sizeHintOf100000Characters();
    void selectionEnablesItems();
    void forbidAndUnforbid();
    void caretBookkeepingOnKeys();
    void zoomPercent();
    void closeQueryNamesWindowZeroAndCancelStillAsksLater();
    void closeQueryYesSavesAndNoClears();
    void closeQueryYesWithCancelledSaveKeepsTheWindowOpen();
    void exitCommandClosesWhenNothingModified();
    void helpMissingNamesThePath();
    void alternatePastePlainText();
    void spellingItemsHiddenWithoutTable();
    void outOfMemoryMessageThenClose();
    void minimiseTracksConverterShowState();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TForm1> m_form;
    TForm1& form() { return *m_form; }
};

void TForm1Test::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_form = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    m_form->CreateOtherWindows();
}

void TForm1Test::cleanup() {
    // Nothing modified is left behind, so destruction asks nothing.
    m_form.reset();
    QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
    m_prompter.reset();
    m_dir.reset();
}

void TForm1Test::tenPagesWithCaptions() {
    QCOMPARE(form().PageControl1->count(), 10);
    for (int i = 0; i < 9; ++i)
        QCOMPARE(form().PageControl1->tabText(i), QString::number(i + 1));
    QCOMPARE(form().PageControl1->tabText(9), U("0 - Статистика"));
    for (int n = 1; n <= 10; ++n) {
        auto* editor = form().findChild<PageEditor*>(QStringLiteral("RichEdit%1").arg(n));
        QVERIFY(editor);
        QCOMPARE(editor->parentWidget()->objectName(), QStringLiteral("TabSheet%1").arg(n));
        QVERIFY(!editor->WordWrap());
    }
    QCOMPARE(form().ActiveEditor, form().RichEdit[1]);
    QCOMPARE(form().windowTitle(), QStringLiteral("Vocalix"));
    QCOMPARE(form().minimumSize(), QSize(714, 230));
}

void TForm1Test::namedComponentsExist() {
    for (const char* name :
         {"PageControl1", "CheckListBox1", "Splitter1", "Panel1",  "Image1", "ToolBar3",
          "ToolBar1",     "ToolBar2",      "ComboBox1", "cbX",     "Label1", "Edit1",
          "trSpeed",      "Label2",        "Edit2",     "trPitch", "lbSAPI", "StatusBar1",
          "ProgressBar1", "PopupMenu1",    "MainMenu1"})
        QVERIFY2(form().findChild<QObject*>(QString::fromLatin1(name)), name);
    QVERIFY(form().findChild<QTimer*>("TimerNextFragment"));
    QCOMPARE(form().TimerNextFragment->interval(), 100);
    QVERIFY(form().CheckListBox1->isHidden());
    QVERIFY(form().CheckListBox1->isSortingEnabled());
    QCOMPARE(form().CheckListBox1->toolTip(), U("Редактирование: Enter или DblClic на словаре"));
    QVERIFY(form().Panel1->isHidden());
    QVERIFY(!form().Splitter1Enabled());
    QVERIFY(form().ActiveEditor->isEnabled());
    QCOMPARE(form().StatusBar1->findChildren<QLabel*>(QRegularExpression("^StatusPanel")).size(),
             6);
    QVERIFY(form().AboutBox);
}

void TForm1Test::commandTable_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("status");
    // A sample across the table, including the rows whose status text is the tool tip.
    QTest::newRow("AOpen") << "AOpen" << U("Файлы") << U("Открыть...") << "Ctrl+O"
                           << U("Открыть...") << U("Открыть документ");
    QTest::newRow("AExit") << "AExit" << U("Файлы") << U("Выход") << "Ctrl+Q" << U("Выход (Ctrl+Q)")
                           << U("Выход из программы");
    QTest::newRow("AMSWord") << "AMSWord" << U("Файлы") << U("Передать в MS Word") << ""
                             << U("Передать текст в MS Word") << U("Передать текст в MS Word");
    QTest::newRow("ASpeak") << "ASpeak" << U("Речь") << U("Прочесть") << "F5" << U("Прочесть")
                            << U("Прочесть текст");
    QTest::newRow("AOrfoDel") << "AOrfoDel" << U("Настройки")
                              << U("Удалить выделенное из орфотаблицы") << "Ctrl+Shift+F4"
                              << U("Удалить выделенное из орфотаблицы")
                              << U("Удалить слова выделенного текста из орфотаблицы");
    QTest::newRow("AMoveLeft") << "AMoveLeft"
                               << "Edit" << U("Сдвиг текста влево") << "Ctrl+Alt+["
                               << U("Сдвиг влево") << U("Сдвиг текста влево на 1 позицию");
    QTest::newRow("AQuotesSimple")
        << "AQuotesSimple"
        << "Edit" << U("Кавычки -> \"") << "" << U("Все виды кавычек заменить на \"")
        << U("Все виды кавычек заменить на \"");
    QTest::newRow("ABatch") << "ABatch" << U("Настройки") << U("Пакетная запись аудио...") << ""
                            << U("Пакетная запись аудио")
                            << U(" Записать разом несколько аудиофайлов");
    QTest::newRow("AEditDic") << "AEditDic" << U("Настройки") << ""
                              << ""
                              << ""
                              << "";
    QTest::newRow("EditSelectAll") << "EditSelectAll"
                                   << "Edit" << U("Выделить все") << "Ctrl+A" << U("Выделить все")
                                   << U("Выделить весь документ");
}

void TForm1Test::commandTable() {
    QFETCH(QString, name);
    QFETCH(QString, category);
    QFETCH(QString, caption);
    QFETCH(QString, key);
    QFETCH(QString, tip);
    QFETCH(QString, status);
    QAction* action = form().Command(name.toLatin1().constData());
    QVERIFY(action);
    QCOMPARE(action->property("category").toString(), category);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), QKeySequence(key));
    QCOMPARE(action->toolTip().isEmpty() ? QString() : action->toolTip(), tip);
    QCOMPARE(action->statusTip(), status);
}

void TForm1Test::menuAndPopupItemsFollowTheirCommands() {
    for (const char* name :
         {"NFileMP3",          "NFileOpen",   "NFileCreate",  "NEditFind",    "NFormatParag",
          "NFormatWrap",       "NSpeakSpeak", "NSpeakPause",  "NSpeakStop",   "NSpeakSpeakSel",
          "NSpeakSpeakCB",     "NSpeakDic",   "NPrefsSeries", "NPrefsOrfo",   "NPrefsChangeText",
          "NPrefsRulesToText", "NPrefsStat1", "NPrefsStat2",  "NZakladGo",    "NEditChangeSel",
          "NPopChangeSel",     "NPopOrfo",    "NPopOrfoAdd",  "NPopSpeakSel", "NPopChangeText",
          "NPopRulesToText",   "NFileRecent"})
        QVERIFY2(form().Item(name), name);
    // An item triggers its command, and is disabled while the command is.
    QAction* item = form().Item("NFormatWrap");
    QVERIFY(item->text().startsWith(U("Свертка")));
    QAction* command = form().Command("AWrapText");
    command->setEnabled(false);
    QVERIFY(!item->isEnabled());
    command->setEnabled(true);
    QVERIFY(item->isEnabled());
    form().SetItemEnabled("NFormatWrap", false);
    QVERIFY(!item->isEnabled());
    QVERIFY(command->isEnabled());
    int fired = 0;
    connect(command, &QAction::triggered, this, [&] { ++fired; });
    form().SetItemEnabled("NFormatWrap", true);
    item->trigger();
    QCOMPARE(fired, 1);
    QCOMPARE(form().PopupMenu1->actions().size(), 19);
}

void TForm1Test::toolBar1Order() {
    QStringList names;
    for (QAction* a : form().ToolBar1->actions())
        names << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
    QCOMPARE(names.join(' '),
             QStringLiteral("TBCreate TBOpen TBSave | TBMP3 | TBSpeak TBPause TBStop TBDic | "
                            "TBUnDo TBCut TBCopy TBPaste TBDelete tbSeleAll TBFind TBRepl "
                            "TBFormat TBFont TBHelp | TBSAPI"));
}

void TForm1Test::unnamedPageWithTextGetsQuestionMarks() {
    form().PageControl1->setCurrentIndex(1); // as a click on the tab
    form().ActiveEditor->SetText("text");
    form().PageControl1->setCurrentIndex(4);
    QCOMPARE(form().PageControl1->tabText(1), QStringLiteral("2 - ???"));
    QVERIFY(form().PageModified[2]);
    QCOMPARE(form().ActiveEditor, form().RichEdit[5]);
    // An empty unnamed page keeps its number alone.
    form().PageControl1->setCurrentIndex(0);
    QCOMPARE(form().PageControl1->tabText(4), QStringLiteral("5"));
    QVERIFY(!form().PageModified[5]);
    form().PageModified[2] = false; // nothing to ask at the end
}

void TForm1Test::namedPageTitle() {
    form().PageControl1->setCurrentIndex(2);
    form().PageFileName[3] = Cp("/книги/Book.txt");
    form().CurrentFileName = form().PageFileName[3];
    form().APTitle(2);
    QCOMPARE(form().PageControl1->tabText(2), QStringLiteral("3 - Book"));
    form().StatusExecute();
    QCOMPARE(form().windowTitle(), QStringLiteral("Vocalix - Book.txt"));
}

void TForm1Test::reportPageKeepsCaption() {
    form().ShowReport(Cp("# Отчёт\r\nстрока"));
    QCOMPARE(form().ActivePageIndex(), 9);
    QCOMPARE(form().ActiveEditor, form().RichEdit[10]);
    QCOMPARE(form().ActiveEditor->Text(), Cp("# Отчёт\r\nстрока"));
    QVERIFY(form().PageModified[10]);
    QVERIFY(form().PageFileName[10].empty());
    form().PageControl1->setCurrentIndex(0);
    QCOMPARE(form().PageControl1->tabText(9), U("0 - Статистика"));
    form().PageModified[10] = false;
}

void TForm1Test::statusLine() {
    form().ActiveEditor->SetText(Cp("ab\r\ncЯ"));
    form().ActiveEditor->SetSelStart(5);
    form().StatusExecute();
    QCOMPARE(form().StatusPanel[0]->text(), QStringLiteral("2: 2"));
    QCOMPARE(form().StatusPanel[1]->text(), QStringLiteral("223"));
    form().ActiveEditor->SetSelStart(6);
    form().StatusExecute();
    QCOMPARE(form().StatusPanel[1]->text(), QStringLiteral("0"));
    QCOMPARE(form().StatusPanel[2]->text(), QString());
    QCOMPARE(form().StatusPanel[4]->text(), QStringLiteral("100%"));
    QCOMPARE(form().lbSAPI->text(), QStringLiteral("    SAPI4"));
    form().ActiveEditor->SetText("");
}

void TForm1Test::sizeHintOf100000Characters() {
    form().ActiveEditor->SetText(std::string(100000, 'x'));
    form().StatusExecute();
    QCOMPARE(form().ActiveEditor->toolTip(), U("98 Кб, 2.5 а.л."));
    form().ActiveEditor->SetText("");
}

void TForm1Test::selectionEnablesItems() {
    std::ofstream(m_dir->filePath("~orfo~").toStdString()) << "";
    // A fresh window sees the spelling table.
    m_form = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    const char* items[] = {"NSpeakSpeakSel", "NPopSpeakSel", "NEditChangeSel", "NPopChangeSel",
                           "NPopOrfo",       "NPopOrfoAdd",  "NPrefsOrfo"};
    for (const char* name : items)
        QVERIFY2(!form().Item(name)->isEnabled(), name);
    form().ActiveEditor->SetText("hello world");
    form().ActiveEditor->SetSelection(0, 5);
    for (const char* name : items)
        QVERIFY2(form().Item(name)->isEnabled(), name);
    QVERIFY(form().Command("EditCopy")->isEnabled());
    form().ActiveEditor->SetSelection(3, 0);
    for (const char* name : items)
        QVERIFY2(!form().Item(name)->isEnabled(), name);
    QVERIFY(!form().Command("EditCopy")->isEnabled());
    form().ActiveEditor->SetText("");
}

void TForm1Test::forbidAndUnforbid() {
    const char* locked[] = {"TBSpeak",  "NSpeakSpeak", "TBDic",    "NSpeakDic", "NSpeakSpeakCB",
                            "TBFind",   "NEditFind",   "TBRepl",   "TBFormat",  "NFormatParag",
                            "TBFont",   "TBMP3",       "NFileMP3", "TBOpen",    "NFileOpen",
                            "TBCreate", "NFileCreate"};
    const char* opened[] = {"TBPause", "NSpeakPause", "TBStop", "NSpeakStop"};
    form().ForbidUserFeatures();
    for (const char* name : locked)
        QVERIFY2(!form().Item(name)->isEnabled(), name);
    for (const char* name : opened)
        QVERIFY2(form().Item(name)->isEnabled(), name);
    QVERIFY(form().ActiveEditor->ReadOnly());
    form().UnForbidUserFeatures();
    for (const char* name : locked)
        QVERIFY2(form().Item(name)->isEnabled(), name);
    for (const char* name : opened)
        QVERIFY2(!form().Item(name)->isEnabled(), name);
    QVERIFY(!form().ActiveEditor->ReadOnly());
}

void TForm1Test::caretBookkeepingOnKeys() {
    form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
    PageEditor* editor = form().ActiveEditor;
    editor->SetText("abc\r\ndef");
    editor->SetSelStart(0);
    QApplication::setActiveWindow(&form());
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    QTest::keyClick(editor, Qt::Key_Down);
    QTest::keyClick(editor, Qt::Key_Right);
    QCOMPARE(form().PageCharPos[1], 6);
    QCOMPARE(form().StatusPanel[0]->text(), QStringLiteral("2: 2"));
    // A command's key is not taken by the editor's own bindings (Ctrl+K deletes to the end of
    // the line in a plain text editor).
    int fired = 0;
    connect(form().Command("APicLargeSmall"), &QAction::triggered, this, [&] { ++fired; });
    editor->SetSelStart(0);
    QTest::keyClick(editor, Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(fired, 1);
    QCOMPARE(editor->Text(), std::string("abc\r\ndef"));
    editor->SetText("");
}

void TForm1Test::zoomPercent() {
    QCOMPARE(form().GetZoom(), 100);
    form().SetZoom(150);
    QCOMPARE(form().GetZoom(), 150);
    form().SetZoom(0);
    QCOMPARE(form().GetZoom(), 100);
}

void TForm1Test::closeQueryNamesWindowZeroAndCancelStillAsksLater() {
    form().RichEdit[2]->SetText("two");
    form().PageModified[2] = true;
    form().RichEdit[5]->SetText("five");
    form().PageModified[5] = true;
    form().PageModified[10] = true;
    m_prompter->answers = {Answer::Cancel, Answer::No, Answer::No};
    QVERIFY(!form().FormCloseQuery());
    QCOMPARE(m_prompter->AskedTexts(), QStringList({U("Текст в окне 2 был изменен. Сохранить?"),
                                                    U("Текст в окне 5 был изменен. Сохранить?"),
                                                    U("Текст в окне 0 был изменен. Сохранить?")}));
    for (const auto& box : m_prompter->asked) {
        QCOMPARE(box.caption, QStringLiteral("Vocalix"));
        QCOMPARE(box.buttons, Buttons::YesNoCancel);
    }
    QVERIFY(form().PageModified[2]);
    QVERIFY(!form().PageModified[5]);
    QVERIFY(!form().PageModified[10]);
    // The page asked last is the active one.
    QCOMPARE(form().ActivePageIndex(), 9);
    form().PageModified[2] = false;
}

void TForm1Test::closeQueryYesSavesAndNoClears() {
    form().ActiveEditor->SetText("one");
    form().ActiveEditor->SetModified(true);
    m_prompter->answers = {Answer::Yes};
    // The unnamed page is saved through the Save As dialog.
    m_prompter->saveFiles = {m_dir->path() + "/one.txt"};
    QVERIFY(form().FormCloseQuery());
    QCOMPARE(m_prompter->asked.size(), size_t(1));
    QVERIFY(!form().PageModified[1]);
    QVERIFY(QFile::exists(m_dir->path() + "/one.txt"));
    QVERIFY(m_prompter->answers.empty());
}

void TForm1Test::closeQueryYesWithCancelledSaveKeepsTheWindowOpen() {
    form().ActiveEditor->SetText("unsaved");
    form().ActiveEditor->SetModified(true);
    m_prompter->answers = {Answer::Yes};
    m_prompter->saveFiles = {QString()}; // the Save As dialog is cancelled
    QVERIFY(!form().FormCloseQuery());
    QVERIFY(form().PageModified[1]);
    QCOMPARE(form().ActiveEditor->Text(), std::string("unsaved"));
    QVERIFY(m_prompter->unexpected.empty());
    form().ActiveEditor->SetText("");
    form().PageModified[1] = false;
}

void TForm1Test::exitCommandClosesWhenNothingModified() {
    form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
    form().Command("AExit")->trigger();
    QVERIFY(!form().isVisible());
    QVERIFY(m_prompter->asked.empty());
}

void TForm1Test::helpMissingNamesThePath() {
    form().Command("AHelp")->trigger();
    QCOMPARE(m_prompter->asked.size(), size_t(1));
    const auto& box = m_prompter->asked.front();
    QCOMPARE(box.text, U("Не найден файл помощи ") + m_dir->path() + "/help/Vocalix.html");
    QCOMPARE(box.caption, QStringLiteral("Vocalix"));
    QCOMPARE(box.icon, Icon::Warning);
}

void TForm1Test::alternatePastePlainText() {
    QApplication::clipboard()->setText(U("вставка\nтекста"));
    form().ActiveEditor->SetText("[]");
    form().ActiveEditor->SetSelStart(1);
    form().Command("EditPaste")->trigger();
    QCOMPARE(form().ActiveEditor->Text(), Cp("[вставка\r\nтекста]"));
    form().ActiveEditor->SetText("");
}

void TForm1Test::spellingItemsHiddenWithoutTable() {
    for (const char* name : {"NPrefsOrfo", "NPopOrfo", "NPopOrfoAdd"}) {
        QVERIFY2(!form().Item(name)->isEnabled(), name);
        QVERIFY2(!form().Item(name)->isVisible(), name);
    }
}

void TForm1Test::outOfMemoryMessageThenClose() {
    form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
    form().ReportOutOfMemory();
    QCOMPARE(m_prompter->asked.size(), size_t(1));
    QCOMPARE(m_prompter->asked.front().caption, U("Опаньки!"));
    QCOMPARE(m_prompter->asked.front().icon, Icon::Error);
    QVERIFY(m_prompter->asked.front().text.startsWith(
        U("Неудачная попытка распределения динамической памяти.")));
    QTRY_VERIFY(!form().isVisible());
}

void TForm1Test::minimiseTracksConverterShowState() {
    QCOMPARE(form().ConverterShowState, 1);
    form().show();
    form().setWindowState(Qt::WindowMinimized);
    QTRY_COMPARE(form().ConverterShowState, 6);
    form().setWindowState(Qt::WindowNoState);
    QTRY_COMPARE(form().ConverterShowState, 1);
}

VOCALIX_QTEST_MAIN(TForm1Test)
#include "TForm1_qtest.moc"
