// The window under faults from outside: a disk that fills up during a save, files that are not
// texts at all, an office program that hangs. The page and the files on disk lose nothing.
#include "FormTestUtil.h"
#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/QtProcess.h"
#include "base/QtText.h"
#include "documents/OfficeConversion.h"
#include "shell/SessionEnd.h"
#include "shell/TForm1.h"

#include <QAction>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <algorithm>

#include <csignal>
#include <filesystem>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>

using vocalix::base::Cp;
using vocalix::base::U;
using namespace vocalix::shell;
using vocalix::shell::testing::ScriptedPrompter;
namespace fs = std::filesystem;

namespace {

// Writes beyond `bytes` fail with EFBIG, as they do on a full disk with ENOSPC, until the
// object goes.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_signal = ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        ::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_saved{};
    sighandler_t m_signal;
};

} // namespace

class TForm1FaultsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fullDiskKeepsTheFileAndThePageModified();
    void filesThatAreNoTextsOpenOrSayWhy();
    void hangingOfficeProgramIsStopped();
    void ownFilesInThePictureFolderStay();
    void hugeFileOpensAndSavesUnchanged();
    void endedSessionKeepsUnsavedPagesForTheNextStart();
    void terminationSignalReachesTheEventLoop();
    void desktopQuitAsksNothingAndKeepsThePages();

private:
    fs::path Dir() const { return m_dir->path().toStdString(); }
    std::string Read(const fs::path& p) {
        std::string bytes;
        vocalix::base::ReadFileBytes(p, bytes);
        return bytes;
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(Dir()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void Trigger(const char* command) { m_form->Command(command)->trigger(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TForm1> m_form;
};

void TForm1FaultsTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_form = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    m_form->CreateOtherWindows();
}

void TForm1FaultsTest::cleanup() {
    vocalix::shell::testing::ForgetPageChanges(*m_form);
    m_form.reset();
    QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
    m_prompter.reset();
    m_dir.reset();
}

void TForm1FaultsTest::fullDiskKeepsTheFileAndThePageModified() {
    const fs::path file = Dir() / "Книга.txt";
    const std::string old = Cp("Старый текст\r\n");
    QVERIFY(vocalix::base::WriteFileAtomic(file, old));
    const auto before = Names();
    TForm1& form = *m_form;
    QVERIFY(form.OpenIntoActivePage(Cp(file.string())));
    std::string text;
    while (text.size() < (1 << 20))
        text += Cp("Новая строка длинной книги.\r\n");
    form.ActiveEditor->SetText(text);
    form.ActiveEditor->SetModified(true);
    {
        const FileSizeLimit full(64 << 10);
        Trigger("ASave");
        // Save as, to a new name: neither the file nor the page's name comes of it.
        m_prompter->saveFiles.push_back(QString::fromStdString((Dir() / "new.txt").string()));
        Trigger("ASaveAs");
        // The question on closing the page: the failed save keeps the text.
        m_prompter->answers.push_back(Answer::Yes);
        Trigger("ACreate");
    }
    const QStringList asked = m_prompter->AskedTexts();
    QCOMPARE(asked.size(), 4);
    for (const int k : {0, 1, 3}) {
        QVERIFY2(asked[k].startsWith(U("Не удалось сохранить файл ")), qPrintable(asked[k]));
        QVERIFY2(asked[k].contains(U("файл больше, чем разрешено записывать")),
                 qPrintable(asked[k]));
    }
    QCOMPARE(m_prompter->asked[0].icon, Icon::Error);
    QCOMPARE(asked[2], U("Текст в окне был изменен. Сохранить?"));
    QCOMPARE(Read(file), old);
    QCOMPARE(Names(), before); // no temporary file, no "new.txt"
    QCOMPARE(form.ActiveEditor->Text(), text);
    QVERIFY(form.ActiveEditor->Modified());
    QCOMPARE(form.CurrentFileName, Cp(file.string()));

    // With room again the same command saves.
    Trigger("ASave");
    QCOMPARE(Read(file), text);
    QVERIFY(!form.ActiveEditor->Modified());
}

void TForm1FaultsTest::filesThatAreNoTextsOpenOrSayWhy() {
    TForm1& form = *m_form;
    const fs::path fifo = Dir() / "канал.txt";
    QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(Dir() / "папка.txt");
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) % 256); // every byte, NUL and controls too
    QVERIFY(vocalix::base::WriteFileAtomic(Dir() / "b.txt", binary));
    QVERIFY(vocalix::base::WriteFileAtomic(Dir() / "empty.txt", ""));
    const auto before = Names();

    // Refused with the reason: the page keeps its text and its name.
    const struct {
        fs::path file;
        const char* why;
    } refused[] = {{fifo, "это именованный канал, а не обычный файл"},
                   {Dir() / "папка.txt", "это папка, а не обычный файл"},
                   {Dir() / "нет такого.txt", "нет такого файла или папки"}};
    form.ActiveEditor->SetText(Cp("мой текст"));
    for (const auto& r : refused) {
        QVERIFY(!form.OpenIntoActivePage(Cp(r.file.string())));
        const QString message = m_prompter->asked.back().text;
        QVERIFY2(message.startsWith(U("Не удалось прочитать файл ")), qPrintable(message));
        QVERIFY2(message.contains(U(r.why)), qPrintable(message));
        QCOMPARE(form.ActiveEditor->Text(), Cp("мой текст"));
        QCOMPARE(form.CurrentFileName, std::string());
    }
    QCOMPARE(m_prompter->asked.size(), size_t(3));

    // A binary file is shown as the bytes it holds; an empty one gives an empty page.
    QVERIFY(form.OpenIntoActivePage(Cp((Dir() / "b.txt").string())));
    QVERIFY(form.ActiveEditor->TextLength() > 4000);
    QVERIFY(form.OpenIntoActivePage(Cp((Dir() / "empty.txt").string())));
    QVERIFY(form.ActiveEditor->IsEmpty());
    QVERIFY(!form.ActiveEditor->Modified());
    QCOMPARE(form.CurrentFileName, Cp((Dir() / "empty.txt").string()));

    QCOMPARE(m_prompter->asked.size(), size_t(3));
    QCOMPARE(Read(Dir() / "b.txt"), binary);
    QCOMPARE(Names(), before);
    QVERIFY(fs::is_fifo(fifo));
}

void TForm1FaultsTest::hangingOfficeProgramIsStopped() {
    const fs::path soffice = Dir() / "soffice";
    QVERIFY(vocalix::base::WriteFileAtomic(soffice, "#!/bin/sh\nsleep 300 & wait\n"));
    fs::permissions(soffice, fs::perms::owner_all);
    const fs::path doc = Dir() / "отчёт.docx";
    QVERIFY(vocalix::base::WriteFileAtomic(doc, "PK\x03\x04"));
    TForm1& form = *m_form;
    form.OfficeConversion =
        vocalix::documents::MakeOfficeHooks(vocalix::base::RunProcess, soffice.string(), 1000);
    form.ActiveEditor->SetText(Cp("мой текст"));
    form.ActiveEditor->SetModified(true);
    form.FormDropFiles({Cp(doc.string())});
    QCOMPARE(m_prompter->AskedTexts(),
             QStringList{U("Не найден Microsoft Word: LibreOffice не закончил конвертацию за 1 с "
                           "и был остановлен")});
    QCOMPARE(form.ActiveEditor->Text(), Cp("мой текст"));
    QVERIFY(form.ActiveEditor->Modified()); // still asked about on closing
    QCOMPARE(Read(doc), std::string("PK\x03\x04"));
    QVERIFY(!fs::exists(Dir() / "отчёт.txt"));
}

// A book's pictures go into "name.files"; a folder of that name the user already keeps things
// in gets the pictures added and loses nothing, also when the pictures are deleted again.
void TForm1FaultsTest::ownFilesInThePictureFolderStay() {
    const fs::path folder = Dir() / "book.files";
    fs::create_directories(folder / "drafts");
    QVERIFY(vocalix::base::WriteFileAtomic(folder / "notes.txt", "mine"));
    QVERIFY(vocalix::base::WriteFileAtomic(folder / "drafts" / "cover.png", "my cover"));
    const fs::path book = Dir() / "book.fb2";
    QVERIFY(vocalix::base::WriteFileAtomic(
        book, "<p>text</p><binary id=\"a\" content-type=\"image/png\">QUJD</binary>"));
    m_form->m_options.PicImport = true;
    QVERIFY(m_form->OpenIntoActivePage(Cp(book.string())));
    QCOMPARE(Read(folder / "Image-1.png"), std::string("ABC"));
    m_prompter->answers.push_back(Answer::Ok);
    m_form->ToolBar3->findChild<QAction*>(QStringLiteral("TBDeleAll"))->trigger();
    QVERIFY(!fs::exists(folder / "Image-1.png"));
    QCOMPARE(Read(folder / "notes.txt"), std::string("mine"));
    QCOMPARE(Read(folder / "drafts" / "cover.png"), std::string("my cover"));
}

// A 100 MB text made here opens whole, unmodified, and saves back byte for byte; nothing else
// is written, and the memory it takes stays bounded (about nine copies of the file today: the
// editor keeps UTF-16 text and a block per line).
void TForm1FaultsTest::hugeFileOpensAndSavesUnchanged() {
    const fs::path file = Dir() / "huge.txt";
    size_t size = 0, hash = 0;
    {
        std::string text;
        for (long n = 0; text.size() < (100u << 20); ++n)
            text += Cp("Мама мыла раму, строка ") + std::to_string(n) + Cp(" книги.\r\n");
        QVERIFY(vocalix::base::WriteFileAtomic(file, text));
        size = text.size();
        hash = std::hash<std::string>{}(text);
    }
    const auto before = Names();
    TForm1& form = *m_form;
    QVERIFY(form.OpenIntoActivePage(Cp(file.string())));
    QCOMPARE(static_cast<size_t>(form.ActiveEditor->TextLength()), size);
    QVERIFY(!form.ActiveEditor->Modified());
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    QVERIFY2(static_cast<size_t>(usage.ru_maxrss) < 14 * (size >> 10),
             qPrintable(QString::number(usage.ru_maxrss)));
    const std::string text = form.ActiveEditor->Text();
    QCOMPARE(std::hash<std::string>{}(text), hash);
    QVERIFY(vocalix::base::WriteFileAtomic(file, "changed on disk"));
    form.ActiveEditor->SetModified(true);
    Trigger("ASave");
    QCOMPARE(Read(file).size(), size);
    QVERIFY(Read(file) == text);
    QCOMPARE(Names(), before);
    QVERIFY(m_prompter->asked.empty());
}

void TForm1FaultsTest::endedSessionKeepsUnsavedPagesForTheNextStart() {
    const fs::path file = Dir() / "Книга.txt";
    const std::string old = Cp("Старый текст\r\n");
    QVERIFY(vocalix::base::WriteFileAtomic(file, old));
    const std::string edited = Cp("Правка, которую никто не сохранил\r\n");
    const std::string typed = Cp("Текст без файла");
    const std::string other = Cp("Текст второго окна");
    // Two windows on one program folder, both with unsaved pages when the session ends.
    auto second = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    QVERIFY(m_form->OpenIntoActivePage(Cp(file.string())));
    m_form->ActiveEditor->SetText(edited);
    m_form->ActiveEditor->SetModified(true);
    m_form->RichEdit[2]->SetText(typed);
    m_form->PageModified[2] = true;
    second->ActiveEditor->SetText(other);
    second->ActiveEditor->SetModified(true);
    m_form->EndSession();
    second->EndSession();
    QVERIFY(m_prompter->asked.empty());
    QCOMPARE(Read(file), old);
    std::vector<fs::path> sessions;
    for (const auto& e : fs::directory_iterator(Dir() / "recovery"))
        sessions.push_back(e.path());
    QCOMPARE(sessions.size(), size_t(2));

    // Each next start takes over one window's texts: both come back, modified, the edited page
    // under its file's name.
    second.reset();
    m_form.reset();
    m_form = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    second = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    TForm1* mine = m_form.get();
    TForm1* theirs = second.get();
    if (mine->RichEdit[1]->Text() == other)
        std::swap(mine, theirs);
    QCOMPARE(mine->RichEdit[1]->Text(), edited);
    QCOMPARE(mine->RichEdit[2]->Text(), typed);
    QCOMPARE(mine->PageFileName[1], Cp(file.string()));
    QCOMPARE(theirs->RichEdit[1]->Text(), other);
    // The settings, written last by the first window, name the book for page 1; the text kept
    // from the second window is a new one and must not be saved over the book.
    QVERIFY(theirs->PageFileName[1].empty());
    for (TForm1* form : {m_form.get(), second.get()})
        QVERIFY(form->PageModified[1] && form->ActiveEditor->Modified() && !form->PageModified[3]);
    const QStringList asked = m_prompter->AskedTexts();
    QCOMPARE(asked.size(), 2);
    QVERIFY(asked.contains(U("Программа была закрыта без вопроса о сохранении. Несохранённый "
                             "текст возвращён на страницы: 1, 2. Сохраните его или закройте "
                             "без сохранения.")));

    // Closes the user answers for (here: keep nothing) leave no recovery behind.
    m_prompter->answers = {Answer::No, Answer::No, Answer::No};
    QVERIFY(m_form->close());
    QVERIFY(second->close());
    QVERIFY(!fs::exists(Dir() / "recovery"));
    QCOMPARE(Read(file), old);
}

void TForm1FaultsTest::terminationSignalReachesTheEventLoop() {
    TerminationSignals termination;
    QSignalSpy spy(&termination, &TerminationSignals::Requested);
    ::raise(SIGTERM); // the process lives on: the handler only passes the signal on
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), SIGTERM);
}

void TForm1FaultsTest::desktopQuitAsksNothingAndKeepsThePages() {
    // The session manager's "die" at logout reaches the program as a request to quit while
    // the window is open; Qt alone would close the window with the save question.
    new DesktopSession(*m_form);
    m_form->show();
    const std::string text = Cp("Текст, который никто не сохранил");
    m_form->ActiveEditor->SetText(text);
    m_form->ActiveEditor->SetModified(true);
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
    QVERIFY(m_prompter->asked.empty());
    QVERIFY(!m_form->isVisible());
    std::vector<fs::path> sessions;
    for (const auto& e : fs::directory_iterator(Dir() / "recovery"))
        sessions.push_back(e.path());
    QCOMPARE(sessions.size(), size_t(1));
    const std::string kept = Read(sessions[0] / "page1.txt");
    QVERIFY(kept.size() > text.size() && kept.ends_with(text));
}

VOCALIX_QTEST_MAIN(TForm1FaultsTest)
#include "TForm1Faults_qtest.moc"
