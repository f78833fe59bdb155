#include "FormTestUtil.h"
#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/QtText.h"
#include "shell/TForm1.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <memory>

using vocalix::base::Cp;
using namespace vocalix::shell;
using vocalix::shell::testing::ScriptedPrompter;
namespace fs = std::filesystem;

namespace {
using vocalix::base::U;
} // namespace

// The four rule commands and the three spelling commands driven through their actions.
class TForm1RulesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void changeTextPreviewShowsRulesAndDictionary();
    void rulesPreviewListsTheRulesUsed();
    void previewsNeedASelectionAndNoDictionaryFile();
    void changedTextGoesToPageZeroWithHeader();
    void fullReportGoesToPageZero();
    void catastrophicRuleDoesNotHangTheWindow();
    void spellingCheckWithoutTableDoesNothing();
    void spellingAddThenCheck();
    void manyMisspelledWordsGoToPageZero();
    void spellingRemove();
    void reAppFromTSWritesLines();

private:
    void WriteDic(const char* name, const char* utf8Body);
    void SetPage(const char* utf8Text, bool selectAll = false);
    void Run(const char* command) { form().Command(command)->trigger(); }
    QString LastText() const { return m_prompter->asked.back().text; }
    QString LastCaption() const { return m_prompter->asked.back().caption; }
    std::string PageZero() const { return m_form->RichEdit[TForm1::kPages]->Text(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TForm1> m_form;
    TForm1& form() { return *m_form; }
};

void TForm1RulesTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    fs::create_directories(fs::path(m_dir->path().toStdString()) / "dic");
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_form = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    m_form->CreateOtherWindows();
}

void TForm1RulesTest::cleanup() {
    vocalix::shell::testing::ForgetPageChanges(*m_form);
    m_form.reset();
    QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
    m_prompter.reset();
    m_dir.reset();
}

void TForm1RulesTest::WriteDic(const char* name, const char* utf8Body) {
    const fs::path file = fs::path(m_dir->path().toStdString()) / "dic" / name;
    QVERIFY(vocalix::base::WriteFileAtomic(file, Cp(utf8Body)));
}

void TForm1RulesTest::SetPage(const char* utf8Text, bool selectAll) {
    PageEditor* editor = form().ActiveEditor;
    editor->SetText(Cp(utf8Text));
    if (selectAll)
        editor->SetSelection(0, editor->TextLength());
    else
        editor->SetSelStart(0);
}

void TForm1RulesTest::changeTextPreviewShowsRulesAndDictionary() {
    WriteDic("r.ini", "(\\d+) км=$1 километров\r\n");
    WriteDic("w.dic", "километров=киломе+тров\r\n");
    form().m_options.Dictionary = "r.ini+w.dic";
    SetPage("Прошли 5 км пешком.\r\nДальше.\r\n");
    Run("AChangeText");
    QCOMPARE(m_prompter->asked.size(), size_t(1));
    QCOMPARE(LastCaption(), U("Текст, измененный по r.ini+w.dic"));
    QVERIFY2(LastText().contains(U("киломе+тров")), qPrintable(LastText()));
    QVERIFY(LastText().contains(U("Дальше")));
    // The page itself is untouched.
    QCOMPARE(form().ActiveEditor->Text(), Cp("Прошли 5 км пешком.\r\nДальше.\r\n"));
}

void TForm1RulesTest::rulesPreviewListsTheRulesUsed() {
    WriteDic("r.ini", "(\\d+) км=$1 километров\r\nзззз=ж\r\n");
    form().m_options.Dictionary = "r.ini";
    SetPage("Прошли 5 км.\r\n", true);
    Run("ARulesToText");
    QCOMPARE(LastCaption(), U("Правила по r.ini"));
    QCOMPARE(LastText(), U("(\\d+) км=$1 километров\r\n"));
}

void TForm1RulesTest::previewsNeedASelectionAndNoDictionaryFile() {
    WriteDic("r.ini", "a=b\r\n");
    SetPage("a\r\n");
    Run("AChangeText");
    Run("ARulesToText");
    Run("AChangeTextFull");
    QVERIFY(m_prompter->asked.empty()); // no dictionaries ticked
    form().m_options.Dictionary = "r.ini";
    form().CurrentFileName = Cp("/x/dic/r.ini");
    Run("AChangeText");
    Run("ARulesToText");
    Run("ARulesFull");
    QVERIFY(m_prompter->asked.empty()); // the page holds a dictionary
    QCOMPARE(form().ActivePageIndex(), 0);
}

void TForm1RulesTest::changedTextGoesToPageZeroWithHeader() {
    WriteDic("r.ini", "кот=пёс\r\n");
    form().m_options.Dictionary = "r.ini";
    form().CurrentFileName = Cp("/книги/сказка.txt");
    SetPage("Жил кот.\r\nКот спал.");
    Run("AChangeTextFull");
    QVERIFY(m_prompter->asked.empty());
    QCOMPARE(form().ActivePageIndex(), TForm1::kPages - 1);
    QVERIFY(form().PageModified[TForm1::kPages]);
    QVERIFY(form().PageFileName[TForm1::kPages].empty());
    // The first letter of the header is the Latin T; a run under a second shows no time.
    QCOMPARE(PageZero(), "# T" + Cp("екст \"сказка.txt\", измененный по \"r.ini\" \r\n\r\n"
                                    "Жил пёс.\r\nпёс спал.\r\n"));
}

void TForm1RulesTest::fullReportGoesToPageZero() {
    WriteDic("r.ini", "кот=пёс\r\n@Кот=Пёс\r\nмышь=крыса\r\n");
    form().m_options.Dictionary = "r.ini";
    SetPage("Жил кот.\r\nКот спал.\r\n");
    Run("ARulesFull");
    QVERIFY(m_prompter->asked.empty());
    QCOMPARE(form().ActivePageIndex(), TForm1::kPages - 1);
    QCOMPARE(PageZero(), Cp("# Список замен по \"r.ini\". Правил: 1\r\n\r\nкот=пёс\r\n"));
}

void TForm1RulesTest::catastrophicRuleDoesNotHangTheWindow() {
    WriteDic("r.ini", "^(\\w+\\s?)+$=X\r\nа=б\r\n");
    form().m_options.Dictionary = "r.ini";
    const std::string line = Cp("а") + std::string(30, 'a') + "!";
    form().ActiveEditor->SetText(line);
    Run("AChangeTextFull");
    QCOMPARE(form().ActivePageIndex(), TForm1::kPages - 1);
    QVERIFY(PageZero().find(Cp("б") + std::string(30, 'a') + "!") != std::string::npos);
}

void TForm1RulesTest::spellingCheckWithoutTableDoesNothing() {
    SetPage("абракадабра\r\n", true);
    Run("AOrfo");
    QVERIFY(m_prompter->asked.empty());
    QVERIFY(!fs::exists(fs::path(m_dir->path().toStdString()) / "~orfo~"));
}

void TForm1RulesTest::spellingAddThenCheck() {
    SetPage("привет кошка дом\r\n", true);
    Run("AOrfoAdd");
    QVERIFY(m_prompter->asked.empty());
    QVERIFY(fs::exists(fs::path(m_dir->path().toStdString()) / "~orfo~"));
    form().CurrentFileName = Cp("/тексты/письмо.txt");
    SetPage("Привет, кошка! Превет дом, дон.\r\n", true);
    Run("AOrfo");
    QCOMPARE(m_prompter->asked.size(), size_t(1));
    QCOMPARE(LastCaption(), U("Орфография"));
    QCOMPARE(LastText(), U("дон\r\nПревет\r\n"));
    QCOMPARE(PageZero(), Cp("# Орфография в \"письмо.txt\"\r\n\r\nдон\r\nПревет\r\n"));
    QCOMPARE(form().ActivePageIndex(), 0); // few words: page "0" is filled but not shown
    SetPage("Привет, кошка!\r\n", true);
    Run("AOrfo");
    QCOMPARE(LastText(), U("Правильно"));
    QCOMPARE(PageZero(), Cp("# Орфография в \"письмо.txt\"\r\n\r\nПравильно"));
}

void TForm1RulesTest::manyMisspelledWordsGoToPageZero() {
    SetPage("дом\r\n", true);
    Run("AOrfoAdd");
    // 25 different short words the table does not know.
    std::string words;
    for (int i = 0; i < 25; ++i)
        words += Cp("ыы") + static_cast<char>(0xE0 + i) + " ";
    form().ActiveEditor->SetText(words);
    form().ActiveEditor->SetSelection(0, form().ActiveEditor->TextLength());
    Run("AOrfo");
    QVERIFY(m_prompter->asked.empty());
    QCOMPARE(form().ActivePageIndex(), TForm1::kPages - 1);
}

void TForm1RulesTest::spellingRemove() {
    SetPage("привет\r\n", true);
    Run("AOrfoAdd");
    Run("AOrfoDel");
    std::string table;
    QVERIFY(vocalix::base::ReadFileBytes(fs::path(m_dir->path().toStdString()) / "~orfo~", table));
    QCOMPARE(table, std::string());
    Run("AOrfo");
    QCOMPARE(LastText(), U("привет\r\n"));
}

void TForm1RulesTest::reAppFromTSWritesLines() {
    PageEditor* page = form().RichEdit[2];
    REAppFromTS(page, {Cp("один"), "", "x"});
    QCOMPARE(page->Text(), Cp("один\r\n\r\nx\r\n"));
    REAppFromTS(page, {});
    QCOMPARE(page->Text(), std::string());
}

VOCALIX_QTEST_MAIN(TForm1RulesTest)
#include "TForm1Rules_qtest.moc"
