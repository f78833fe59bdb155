#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/QtText.h"
#include "shell/TForm1.h"

#include <QAction>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <memory>

using namespace vocalix::shell;
using vocalix::base::Cp;
using vocalix::base::U;
using vocalix::shell::testing::ScriptedPrompter;
namespace fs = std::filesystem;

class TForm1BatchTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void batchConvertsEachFileIntoTheTargetFolder();
    void cancellingTheFolderConvertsNothing();

private:
    fs::path Dir() const { return fs::path(m_dir->path().toStdString()); }
    QString File(const std::string& name, const std::string& bytes) {
        fs::create_directories((Dir() / name).parent_path());
        vocalix::base::WriteFileAtomic(Dir() / name, bytes);
        return QString::fromStdString((Dir() / name).string());
    }
    std::string Read(const fs::path& p) {
        std::string bytes;
        vocalix::base::ReadFileBytes(p, bytes);
        return bytes;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TForm1> m_form;
};

void TForm1BatchTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_form = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
}

void TForm1BatchTest::cleanup() {
    m_form.reset();
    QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
}

// A Word document (through the office suite), a book, a missing file and a web page; a text
// already in the target folder is not written over.
void TForm1BatchTest::batchConvertsEachFileIntoTheTargetFolder() {
    const fs::path doc = fs::path(VOCALIX_CORPUS_DIR) / "doc" / "chekhov_dama_s_sobachkoy.doc";
    const QStringList files = {
        QString::fromStdString(doc.string()),
        File("src/b.fb2", Cp("<FictionBook><body><p>Книга</p></body></FictionBook>")),
        QString::fromStdString((Dir() / "src" / "gone.html").string()),
        File("src/c.html", Cp("<p>Страница</p>")),
    };
    const fs::path to = Dir() / "T";
    File("T/b.txt", "somebody's notes");
    m_form->ActiveEditor->SetText("previous");
    m_prompter->openFileLists.push_back(files);
    m_prompter->folders.push_back(QString::fromStdString(to.string()));
    m_form->Command("ABatchTxt")->trigger();

    QVERIFY(Read(to / "chekhov_dama_s_sobachkoy.txt").find(Cp("Дама с собачкой")) !=
            std::string::npos);
    QCOMPARE(Read(to / "b.txt"), std::string("somebody's notes"));
    QVERIFY(Read(to / "b (2).txt").find(Cp("Книга")) != std::string::npos);
    QVERIFY(!fs::exists(Dir() / "src" / "gone.html"));
    QVERIFY(!fs::exists(to / "gone.txt"));
    QVERIFY(m_form->ActiveEditor->Text().find(Cp("Страница")) != std::string::npos);
    QCOMPARE(m_form->CurrentFileName, (to / "c.txt").string());
    QCOMPARE(m_form->PageFileName[1], (to / "c.txt").string());
    QVERIFY(!m_form->ActiveEditor->Modified());
    QCOMPARE(m_form->ProgressBar1->value(), 0);
    const QStringList asked = m_prompter->AskedTexts();
    QCOMPARE(asked.size(), 2);
    QVERIFY(asked[0].startsWith(U("Не удалось прочитать файл")));
    QCOMPARE(asked[1], U("Конвертация завершена. Всего файлов: 4"));
    QCOMPARE(m_prompter->fileDialogs.at(0).title,
             U("Открыть пакет. Выбор файлов: Shift+ArrowDn и/или Ctrl+LeftMouseClick"));
}

void TForm1BatchTest::cancellingTheFolderConvertsNothing() {
    m_prompter->openFileLists.push_back({File("a.html", "<p>x</p>")});
    m_prompter->folders.push_back(QString());
    m_form->Command("ABatchTxt")->trigger();
    QVERIFY(!fs::exists(Dir() / "a.txt"));
    QVERIFY(m_prompter->asked.empty());
}

VOCALIX_QTEST_MAIN(TForm1BatchTest)
#include "TForm1Batch_qtest.moc"
