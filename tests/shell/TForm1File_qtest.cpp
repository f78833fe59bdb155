#include "../documents/EpubTestBook.h"
#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/QtText.h"
#include "shell/TForm1.h"

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <memory>

using vocalix::base::Cp;
using namespace vocalix::shell;
using vocalix::shell::testing::ScriptedPrompter;
namespace fs = std::filesystem;

namespace {
using vocalix::base::U;
} // namespace

class TForm1FileTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openDialogOffersEightEntriesAndConvertsAWebPage();
    void openingAnUnreadableFileChangesNothing();
    void wordDocumentWithoutOfficeProgram();
    void epubBookOpensAndABrokenOneSaysWhy();
    void createAsksAboutChangesAndKeepsTextWhenSaveIsCancelled();
    void saveOnUnnamedPageProposesNameFromFirstLines();
    void saveNamedPageWritesAtomicallyAndClearsTheMark();
    void droppedFileOpens();
    void printWithoutPrintSystemSaysSo();
    void printUnsavedTextAsksToSaveFirst();

private:
    std::string File(const std::string& name, const std::string& bytes) {
        const fs::path p = fs::path(m_dir->path().toStdString()) / name;
        fs::create_directories(p.parent_path());
        vocalix::base::WriteFileAtomic(p, bytes);
        return p.string();
    }
    std::string Read(const std::string& name) {
        std::string bytes;
        vocalix::base::ReadFileBytes(fs::path(m_dir->path().toStdString()) / name, bytes);
        return bytes;
    }
    void Trigger(const char* command) { form().Command(command)->trigger(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TForm1> m_form;
    TForm1& form() { return *m_form; }
    ScriptedPrompter& prompter() { return *m_prompter; }
};

void TForm1FileTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_form = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    m_form->CreateOtherWindows();
}

void TForm1FileTest::cleanup() {
    for (int n = 1; n <= TForm1::kPages; ++n) {
        form().RichEdit[n]->SetModified(false);
        form().PageModified[n] = false;
    }
    m_form.reset();
    QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
    m_prompter.reset();
    m_dir.reset();
}

void TForm1FileTest::openDialogOffersEightEntriesAndConvertsAWebPage() {
    const std::string page = File("site/a.html", Cp("<p>Привет &amp; пока"));
    prompter().openFiles.push_back(QString::fromStdString(page));
    form().ActiveEditor->SetModified(true); // opening does not ask about changes
    Trigger("AOpen");
    QCOMPARE(prompter().fileDialogs.size(), size_t(1));
    const FileDialogOptions& o = prompter().fileDialogs.front();
    const QStringList entries = o.filter.split(";;");
    QCOMPARE(entries.size(), 8);
    QCOMPARE(entries[0], U("Текстовые файлы (.txt) (*.txt)"));
    QCOMPARE(entries[3], U("Тексты в формате RTF (*.rtf)"));
    QCOMPARE(o.selectedFilter, entries[6]);
    QVERIFY(entries[6].startsWith(U("Все поддерживаемые форматы")));
    QCOMPARE(entries[7], U("Все файлы (*)"));

    QCOMPARE(form().ActiveEditor->Text(), Cp("\r\nПривет & пока"));
    const std::string txt = (fs::path(page).parent_path() / "a.txt").string();
    QCOMPARE(form().CurrentFileName, txt);
    QCOMPARE(form().PageFileName[1], txt);
    QCOMPARE(Read("site/a.txt"), Cp("\r\nПривет & пока"));
    QVERIFY(!form().ActiveEditor->Modified());
    QCOMPARE(form().ActiveEditor->SelStart(), 0);
    QCOMPARE(form().PageControl1->tabText(0), QStringLiteral("1 - a"));
}

void TForm1FileTest::openingAnUnreadableFileChangesNothing() {
    form().ActiveEditor->SetText(Cp("старый текст"));
    form().CurrentFileName = File("old.txt", "old");
    const std::string before = form().CurrentFileName;
    prompter().openFiles.push_back(
        QString::fromStdString((fs::path(m_dir->path().toStdString()) / "missing.html").string()));
    Trigger("AOpen");
    QCOMPARE(form().ActiveEditor->Text(), Cp("старый текст"));
    QCOMPARE(form().CurrentFileName, before);
    QCOMPARE(prompter().asked.size(), size_t(1));
    QVERIFY(prompter().asked[0].text.startsWith(U("Не удалось прочитать файл")));
}

void TForm1FileTest::wordDocumentWithoutOfficeProgram() {
    form().ActiveEditor->SetText("previous");
    form().OfficeConversion =
        vocalix::documents::MakeOfficeHooks(vocalix::base::RunProcess, "/nonexistent/soffice");
    prompter().openFiles.push_back(QString::fromStdString(File("d.docx", "PK")));
    Trigger("AOpen");
    QCOMPARE(prompter().AskedTexts(), QStringList{U("Не найден Microsoft Word")});
    QCOMPARE(prompter().asked[0].caption, QStringLiteral("Vocalix"));
    QCOMPARE(prompter().asked[0].icon, Icon::Information);
    QCOMPARE(form().CurrentFileName, std::string());
    QCOMPARE(form().ActiveEditor->Text(), std::string("previous"));
}

void TForm1FileTest::epubBookOpensAndABrokenOneSaysWhy() {
    namespace t = vocalix::documents::test;
    const t::SourceBook source =
        t::LoadSourceBook(fs::path(VOCALIX_CORPUS_DIR) / "fb2" / "pushkin_pikovaya_dama.utf8.fb2");
    QVERIFY(!source.title.empty());
    const fs::path book = fs::path(m_dir->path().toStdString()) / "b.epub";
    QVERIFY(t::WriteZip(book, t::MakeEpub(source, 2).entries));
    prompter().openFiles.push_back(QString::fromStdString(book.string()));
    Trigger("AOpen");
    QCOMPARE(form().CurrentFileName, (book.parent_path() / "b.txt").string());
    const std::string text = form().ActiveEditor->Text();
    QVERIFY(text.rfind(Cp(source.title) + "\r\n", 0) == 0);
    QVERIFY(!form().ActiveEditor->Modified());
    QCOMPARE(form().PageControl1->tabText(0), QStringLiteral("1 - b"));

    prompter().openFiles.push_back(QString::fromStdString(File("bad.epub", "PK junk")));
    Trigger("AOpen");
    QCOMPARE(form().ActiveEditor->Text(), text);
    QCOMPARE(prompter().asked.size(), size_t(1));
    QVERIFY(prompter().asked[0].text.startsWith(U("Не удалось прочитать файл")));
    QVERIFY(prompter().asked[0].text.contains(U("не является архивом ZIP")));
}

void TForm1FileTest::createAsksAboutChangesAndKeepsTextWhenSaveIsCancelled() {
    form().ActiveEditor->SetText("keep me");
    form().ActiveEditor->SetModified(true);
    prompter().answers.push_back(Answer::Cancel);
    Trigger("ACreate");
    QCOMPARE(form().ActiveEditor->Text(), std::string("keep me"));
    QCOMPARE(prompter().asked.back().text, U("Текст в окне был изменен. Сохранить?"));
    QCOMPARE(prompter().asked.back().buttons, Buttons::YesNoCancel);

    // Yes, then the save dialog is cancelled: the text stays.
    prompter().answers.push_back(Answer::Yes);
    prompter().saveFiles.push_back(QString());
    Trigger("ACreate");
    QCOMPARE(form().ActiveEditor->Text(), std::string("keep me"));
    QVERIFY(form().ActiveEditor->Modified());

    // No: the page is emptied and loses its name.
    form().CurrentFileName = "x.txt";
    form().PageFileName[1] = "x.txt";
    form().PageBookMarks[1] = "1,2";
    prompter().answers.push_back(Answer::No);
    Trigger("ACreate");
    QVERIFY(form().ActiveEditor->IsEmpty());
    QCOMPARE(form().CurrentFileName, std::string());
    QCOMPARE(form().PageFileName[1], std::string());
    QCOMPARE(form().PageBookMarks[1], std::string());
    QVERIFY(form().Panel1->isHidden());
}

void TForm1FileTest::saveOnUnnamedPageProposesNameFromFirstLines() {
    form().ActiveEditor->SetText(Cp("\r\n  Глава 1. Начало\r\nтекст"));
    form().ActiveEditor->SetModified(true);
    prompter().saveFiles.push_back(QString());
    Trigger("ASave");
    QCOMPARE(prompter().fileDialogs.size(), size_t(1));
    QCOMPARE(prompter().fileDialogs[0].fileName, U("Глава 1"));
    QCOMPARE(prompter().fileDialogs[0].initialDir, m_dir->path());
    QCOMPARE(prompter().fileDialogs[0].defaultExtension, QStringLiteral("txt"));
    QVERIFY(form().ActiveEditor->Modified()); // cancelled: still modified

    const std::string target = (fs::path(m_dir->path().toStdString()) / "out.txt").string();
    prompter().saveFiles.push_back(QString::fromStdString(target));
    Trigger("ASave");
    QVERIFY(!form().ActiveEditor->Modified());
    QCOMPARE(form().CurrentFileName, target);
    QCOMPARE(form().PageFileName[1], target);
    QCOMPARE(Read("out.txt"), Cp("\r\n  Глава 1. Начало\r\nтекст"));
}

void TForm1FileTest::saveNamedPageWritesAtomicallyAndClearsTheMark() {
    form().CurrentFileName = File("named.txt", "old");
    form().ActiveEditor->SetText("new text");
    form().ActiveEditor->SetModified(true);
    Trigger("ASave");
    QCOMPARE(Read("named.txt"), std::string("new text"));
    QVERIFY(!form().ActiveEditor->Modified());
    QVERIFY(prompter().fileDialogs.empty());
}

void TForm1FileTest::droppedFileOpens() {
    const std::string dos = File("dos.txt", "\x8F\xE0\xA8\xA2\xA5\xE2 \xAC\xA8\xE0");
    form().FormDropFiles({dos});
    QCOMPARE(form().ActiveEditor->Text(), Cp("Привет мир"));
    QCOMPARE(form().CurrentFileName, dos);
    // The file read stays as it was; the repaired text waits for a save.
    QCOMPARE(Read("dos.txt"), std::string("\x8F\xE0\xA8\xA2\xA5\xE2 \xAC\xA8\xE0"));
    QVERIFY(form().ActiveEditor->Modified());
    QVERIFY(form().StatusPanel[5]->text().contains(QStringLiteral("DOS (866)")));
}

void TForm1FileTest::printWithoutPrintSystemSaysSo() {
    form().CurrentFileName = File("p.txt", "text");
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", m_dir->path().toLocal8Bit().constData(), 1); // no lpstat, no lp
    Trigger("APrintNP");
    setenv("PATH", path.c_str(), 1);
    QCOMPARE(prompter().asked.size(), size_t(1));
    QVERIFY(prompter().asked[0].text.contains(U("Не найдена система печати")));
}

void TForm1FileTest::printUnsavedTextAsksToSaveFirst() {
    form().ActiveEditor->SetText("unsaved");
    Trigger("APrintNP");
    QCOMPARE(prompter().asked.size(), size_t(1));
    QVERIFY(prompter().asked[0].text.contains(U("Сохраните текст")));
}

VOCALIX_QTEST_MAIN(TForm1FileTest)
#include "TForm1File_qtest.moc"
