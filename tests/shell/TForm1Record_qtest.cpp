// Recording, series and batch recording driven through the window's commands.
#include "QtTestMain.h"
#include "ScriptedPrompter.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "shell/TForm1.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sndfile.h>

using namespace vocalix;
using namespace vocalix::shell;
namespace fs = std::filesystem;

namespace {

double Seconds(const fs::path& wav) {
    SF_INFO info{};
    SNDFILE* f = sf_open(wav.c_str(), SFM_READ, &info);
    if (!f)
        return -1;
    sf_close(f);
    return static_cast<double>(info.frames) / info.samplerate;
}

fs::path WriteText(const fs::path& file, const std::string& cp1251) {
    if (!base::WriteFileAtomic(file, cp1251))
        qFatal("cannot write %s", file.c_str());
    return file;
}

const char* kBook = "Глава 1\r\nБыл вечер.\r\nГлава 2\r\nБыло утро.\r\nГлава 3\r\nКонец.\r\n";

} // namespace

class TForm1RecordTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    fs::path Dir() const { return m_dir.path().toStdString(); }
    // A program folder whose settings choose the engine generation of the test row.
    fs::path ProgramFolder() const {
        QFETCH(bool, sapi5);
        const fs::path folder = Dir() / (sapi5 ? "prog5" : "prog4");
        fs::create_directories(folder);
        WriteText(folder / "$.ini", sapi5 ? "[SAPI]\r\nSAPI5=1\r\n" : "[SAPI]\r\nSAPI5=0\r\n");
        return folder;
    }
    static void Generations() {
        QTest::addColumn<bool>("sapi5");
        QTest::newRow("SAPI 5: file stream") << true;
        QTest::newRow("SAPI 4: reading loop on a file destination") << false;
    }

private slots:
    void recordingMakesMp3AndShowsProgress_data() { Generations(); }
    // Ctrl+M on a named page: the MP3 beside the text, the WAV gone; meanwhile the commands
    // that would disturb it are off, the progress and the target name show.
    void recordingMakesMp3AndShowsProgress() {
        testing::ScriptedPrompter prompter;
        TForm1 form(ProgramFolder(), prompter);
        form.CreateOtherWindows();
        const fs::path text = WriteText(Dir() / "моя книга.txt", base::Cp(kBook));
        form.XOpen(CpPath(text));
        form.m_options.ACNumber = 1;
        form.m_options.AllParam = "-b64 -h";
        form.m_options.BytesInFrag = 24;
        form.cbX->setCurrentIndex(form.m_options.SAPI5 ? 18 : 3); // 22 kHz 16 bit; x8
        QString panel3;
        bool mp3Disabled = false, voiceLocked = false;
        int fragments = 0;
        QTimer::singleShot(0, &form, [&] {
            panel3 = form.StatusPanel[3]->text();
            mp3Disabled = !form.Item("TBMP3")->isEnabled();
            voiceLocked = !form.ComboBox1->isEnabled();
            fragments = form.ProgressBar1->maximum();
        });
        form.Command("AMP3")->trigger();
        QVERIFY2(prompter.asked.empty(),
                 qPrintable(prompter.asked.empty() ? QString() : prompter.asked.front().text));
        QCOMPARE(panel3, QString::fromUtf8("моя книга.wav"));
        QVERIFY(mp3Disabled);
        QVERIFY(voiceLocked);
        QVERIFY(form.ComboBox1->isEnabled());
        QCOMPARE(fragments, 3);
        QVERIFY(fs::file_size(Dir() / "моя книга.mp3") > 1000);
        QVERIFY(!fs::exists(Dir() / "моя книга.wav"));
        QVERIFY(form.Item("TBMP3")->isEnabled());
        QVERIFY(!form.ActiveEditor->ReadOnly());
        QVERIFY(!form.IsRecording());
        QCOMPARE(form.StatusPanel[3]->text(), QString());
    }

    void stopEndsAfterCurrentFragment_data() { Generations(); }
    // F7 while recording: SAPI 5 ends after the fragment being spoken, SAPI 4 at once (writing
    // at real time here); the WAV written so far stays.
    void stopEndsAfterCurrentFragment() {
        testing::ScriptedPrompter prompter;
        TForm1 form(ProgramFolder(), prompter);
        form.CreateOtherWindows();
        const fs::path text = WriteText(Dir() / "stop.txt", base::Cp(kBook));
        form.XOpen(CpPath(text));
        form.m_options.ACNumber = 0;
        form.m_options.BytesInFrag = 24;
        form.AMP3Execute();
        const double whole = Seconds(Dir() / "stop.wav");
        QVERIFY(whole > 2);
        form.cbX->setCurrentIndex(form.m_options.SAPI5 ? 18 : 0); // x1: real time
        QTimer::singleShot(form.m_options.SAPI5 ? 0 : 300, &form, [&] { form.AStopExecute(); });
        form.AMP3Execute();
        const double part = Seconds(Dir() / "stop.wav");
        QVERIFY2(part > 0.1 && part < whole / 2, qPrintable(QString::number(part)));
        QVERIFY(form.Item("TBMP3")->isEnabled());

        // From the caret at the end there is nothing to record: it ends at once, writes
        // nothing, and the next recording works.
        fs::remove(Dir() / "stop.wav");
        form.cbX->setCurrentIndex(form.m_options.SAPI5 ? 18 : 7); // as fast as possible
        form.m_options.AudioFromTop = false;
        form.ActiveEditor->SetSelection(form.ActiveEditor->TextLength(), 0);
        form.AMP3Execute();
        QVERIFY(!form.IsRecording());
        QVERIFY(!fs::exists(Dir() / "stop.wav"));
        form.m_options.AudioFromTop = true;
        form.AMP3Execute();
        QVERIFY(Seconds(Dir() / "stop.wav") > 2);
        QVERIFY(prompter.unexpected.empty());
    }

    // Series and recording in parts; the batch dialog records the chosen files in order.
    void seriesPartsAndBatch() {
        testing::ScriptedPrompter prompter;
        TForm1 form(Dir() / "prog", prompter);
        form.CreateOtherWindows();
        const fs::path book = WriteText(Dir() / "book.txt", base::Cp(kBook));
        form.XOpen(CpPath(book));
        form.m_options.BytesInBlock = 0;
        form.m_options.ACNumber = 0;
        form.ASeriesExecute();
        QCOMPARE(prompter.asked.size(), size_t(1));
        QCOMPARE(prompter.asked[0].caption, QString::fromUtf8("Сериал для book.txt"));
        QCOMPARE(prompter.asked[0].text,
                 QString::fromUtf8("Для текста \"book.txt\" cоздан и помещен в одноименный "
                                   "подкаталог сериал из 3 частей"));
        QVERIFY(fs::exists(Dir() / "book" / "0003_book.txt"));

        form.m_options.AudioSplit = true;
        form.AMP3Execute();
        for (const char* part : {"0001_book.wav", "0002_book.wav", "0003_book.wav"})
            QVERIFY2(Seconds(Dir() / "book.audio" / part) > 0.3, part);
        QCOMPARE(
            std::distance(fs::directory_iterator(Dir() / "book.audio"), fs::directory_iterator()),
            3);
        // Recorded again to OGG, the parts carry the tags of the book the text was made of,
        // numbered as its parts.
        WriteText(Dir() / "book.fb2",
                  "<?xml version=\"1.0\"?><FictionBook><description><title-info><author>"
                  "<first-name>Иван</first-name><last-name>Бунин</last-name></author>"
                  "<book-title>Тёмные аллеи</book-title></title-info></description></FictionBook>");
        form.XOpen(CpPath(book)); // the batch left the last part in the page
        form.m_options.ACNumber = 2;
        form.m_options.AllParam = "-q 1";
        form.AMP3Execute();
        for (int k = 1; k <= 3; ++k) {
            QProcess reader;
            reader.start(
                "vorbiscomment",
                {"-l", "-R",
                 QString::fromStdString(
                     (Dir() / "book.audio" / ("000" + std::to_string(k) + "_book.ogg")).string())});
            QVERIFY(reader.waitForFinished());
            QCOMPARE(QString::fromUtf8(reader.readAllStandardOutput()),
                     QString::fromUtf8("title=Тёмные аллеи\nartist=Иван Бунин\nalbum=Тёмные "
                                       "аллеи\ntracknumber=") +
                         QString::number(k) + "\n");
        }
        form.m_options.ACNumber = 0;
        form.m_options.AudioSplit = false;

        const fs::path a = WriteText(Dir() / "a.txt", base::Cp("Первый.\r\n"));
        const fs::path b = WriteText(Dir() / "b.txt", base::Cp("Второй.\r\n"));
        prompter.openFileLists.push_back(
            {QString::fromStdString(a.string()), QString::fromStdString(b.string())});
        form.Command("ABatch")->trigger();
        QVERIFY(Seconds(Dir() / "a.wav") > 0.3);
        QVERIFY(Seconds(Dir() / "b.wav") > 0.3);
        QCOMPARE(form.CurrentFileName, CpPath(b));
        QVERIFY(!form.BatchActive);
        QCOMPARE(prompter.fileDialogs.back().selectedFilter.left(26),
                 QString::fromUtf8("Все поддерживаемые форматы"));
        QCOMPARE(prompter.asked.size(), size_t(1));
        QVERIFY(prompter.unexpected.empty());
    }

    // An unnamed page whose first line is "dic" would be cut into the program's dictionary
    // folder: that folder is refused and kept.
    void unnamedPageNeverReplacesDictionaries() {
        testing::ScriptedPrompter prompter;
        const fs::path prog = Dir() / "prog2";
        fs::create_directories(prog / "dic");
        WriteText(prog / "dic" / "my.dic", "keep");
        TForm1 form(prog, prompter);
        form.CreateOtherWindows();
        form.ActiveEditor->SetText(base::Cp("dic\r\nГлава 1\r\nа\r\nГлава 2\r\nб\r\n"));
        form.m_options.BytesInBlock = 0;
        form.ASeriesExecute();
        QCOMPARE(prompter.asked.size(), size_t(1));
        QVERIFY(prompter.asked[0].text.contains(QString::fromUtf8("уже существует")));
        std::string kept;
        base::ReadFileBytes(prog / "dic" / "my.dic", kept);
        QCOMPARE(kept, std::string("keep"));
    }
};

VOCALIX_QTEST_MAIN(TForm1RecordTest)
#include "TForm1Record_qtest.moc"
