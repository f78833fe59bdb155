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

// The analysis reports driven through their actions: page "0" gets the report, the dialogs
// ask what the reports need.
class TForm1AnalysisTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void reportsOfThePageGoToPageZero();
    void huntAsksForTheListAndShowsTheHeaderWhenCancelled();
    void setOperationsAskForTwoFiles();
    void unreadableFileIsReportedAndPageZeroKept();

private:
    void Run(const char* command) { form().Command(command)->trigger(); }
    std::string PageZero() const { return m_form->RichEdit[TForm1::kPages]->Text(); }
    QString Write(const char* name, const char* utf8Body) {
        const fs::path file = fs::path(m_dir->path().toStdString()) / name;
        vocalix::base::WriteFileAtomic(file, Cp(utf8Body));
        return QString::fromStdString(file.string());
    }
    void ExpectPageZeroShown() {
        QCOMPARE(form().ActivePageIndex(), TForm1::kPages - 1);
        QVERIFY(form().PageFileName[TForm1::kPages].empty());
        QVERIFY(form().PageModified[TForm1::kPages]);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TForm1> m_form;
    TForm1& form() { return *m_form; }
};

void TForm1AnalysisTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_form = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    m_form->CreateOtherWindows();
}

void TForm1AnalysisTest::cleanup() {
    vocalix::shell::testing::ForgetPageChanges(*m_form);
    m_form.reset();
    QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
    m_prompter.reset();
    m_dir.reset();
}

void TForm1AnalysisTest::reportsOfThePageGoToPageZero() {
    const struct {
        const char* command;
        const char* start;
    } cases[] = {
        {"ATxtProp", "# Свойства текста \"Книга.txt\"\r\n\r\nРазмер: 0 Кб"},
        {"AFreshEye", "# Свежий взгляд на текст \"Книга.txt\"\r\n# Слов: 6. Найдено повторов, "
                      "тавтологий и созвучий: 1\r\n\r\nкошка Иван {кошку}"},
        {"ANames", "# Имен и аббревиатур в \"Книга.txt\": 1\r\n\r\nИван\r\n"},
    };
    form().m_options.Deep = 3;
    for (const auto& c : cases) {
        form().ActivatePage(0);
        form().PageControl1Change();
        form().ActiveEditor->SetText(Cp("Вчера кошка Иван кошку видел\r\nтам"));
        form().CurrentFileName = Cp("/папка/Книга.txt");
        PageEditor* page = form().ActiveEditor;
        Run(c.command);
        QVERIFY2(PageZero().rfind(Cp(c.start), 0) == 0, c.command);
        ExpectPageZeroShown();
        QVERIFY(!page->ReadOnly());
    }
    QVERIFY(m_prompter->asked.empty());
}

void TForm1AnalysisTest::huntAsksForTheListAndShowsTheHeaderWhenCancelled() {
    form().ActiveEditor->SetText(Cp("Вчера кошка спала"));
    form().CurrentFileName = Cp("/т/a.txt");
    m_prompter->openFiles.push_back(Write("список.txt", "КОШК*\r\n"));
    Run("AHunt");
    QCOMPARE(m_prompter->fileDialogs.back().title, U("Выберите файл проверочного списка"));
    QCOMPARE(PageZero(), Cp("# Выборка из текста \"a.txt\" по списку \"список.txt\"\r\n\r\n"
                            "Вчера кошка спала | кошк*\r\n"));
    ExpectPageZeroShown();

    form().ActivatePage(0);
    form().PageControl1Change();
    form().CurrentFileName = Cp("/т/a.txt");
    m_prompter->openFiles.push_back(QString());
    Run("AHunt");
    QCOMPARE(PageZero(), Cp("# Выборка из текста \"a.txt\" по списку \"\"\r\n\r\n"));
    ExpectPageZeroShown();
}

void TForm1AnalysisTest::setOperationsAskForTwoFiles() {
    const QString one = Write("1.txt", "b\r\nA\r\n");
    const QString two = Write("2.txt", "a\r\nc\r\n");
    m_prompter->openFiles = {one, two};
    Run("AFMinus");
    QCOMPARE(m_prompter->fileDialogs.size(), size_t(2));
    QCOMPARE(m_prompter->fileDialogs[0].title, U("Выберите ПЕРВЫЙ файл"));
    QCOMPARE(m_prompter->fileDialogs[1].title, U("Выберите ВТОРОЙ файл"));
    QVERIFY(m_prompter->fileDialogs[1].filter.contains(U("Словари произношения (.dic, .ini)")));
    QCOMPARE(PageZero(), "# 1. " + one.toStdString() + "\r\n# 2. " + two.toStdString() +
                             Cp("\r\n# Разность файлов. Строк ПЕРВОГО файла, отсутствующих во "
                                "ВТОРОМ: 1\r\n\r\nb\r\n"));
    ExpectPageZeroShown();

    // A cancelled first dialog asks nothing more and only shows page "0".
    form().ActivatePage(0);
    form().PageControl1Change();
    m_prompter->openFiles = {QString()};
    Run("AFUnion");
    QCOMPARE(m_prompter->fileDialogs.size(), size_t(3));
    QCOMPARE(form().ActivePageIndex(), TForm1::kPages - 1);
    QVERIFY(PageZero().find(Cp("Разность")) != std::string::npos);

    m_prompter->openFiles = {one, two};
    Run("AFMutual");
    QVERIFY(PageZero().find(Cp("файлов: 1\r\n\r\nA\r\n")) != std::string::npos);
}

void TForm1AnalysisTest::unreadableFileIsReportedAndPageZeroKept() {
    form().RichEdit[TForm1::kPages]->SetText("old");
    m_prompter->openFiles = {
        Write("1.txt", "a\r\n"),
        QString::fromStdString((fs::path(m_dir->path().toStdString()) / "missing.txt").string())};
    Run("AFUnion");
    QCOMPARE(m_prompter->asked.size(), size_t(1));
    QVERIFY(m_prompter->asked[0].text.startsWith(U("Не удалось прочитать файл")));
    QCOMPARE(PageZero(), std::string("old"));
}

VOCALIX_QTEST_MAIN(TForm1AnalysisTest)
#include "TForm1Analysis_qtest.moc"
