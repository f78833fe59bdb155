// Recording needs no sound output: Ctrl+M in a session without any sound server writes the
// file, asks nothing and stays quiet at the end (the completion sound is skipped).
#include "ScriptedPrompter.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/ProcessExit.h"
#include "shell/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

using namespace vocalix;
using namespace vocalix::shell;
namespace fs = std::filesystem;

class TForm1RecordNoAudioTest : public QObject {
    Q_OBJECT
private slots:
    void recordsToWavWithoutASoundServer() {
        QTemporaryDir dir;
        const fs::path root = dir.path().toStdString();
        testing::ScriptedPrompter prompter;
        TForm1 form(root / "prog", prompter);
        form.CreateOtherWindows();
        const fs::path text = root / "book.txt";
        QVERIFY(base::WriteFileAtomic(text, base::Cp("Мама мыла раму.\r\nПапа читал.\r\n")));
        form.XOpen(CpPath(text));
        form.m_options.ACNumber = 0; // WAV only
        QElapsedTimer elapsed;
        elapsed.start();
        form.Command("AMP3")->trigger();
        QVERIFY2(prompter.asked.empty(),
                 qPrintable(prompter.asked.empty() ? QString() : prompter.asked.front().text));
        QVERIFY2(elapsed.elapsed() < 30000, "recording must not wait for a sound device");
        SF_INFO info{};
        SNDFILE* wav = sf_open((root / "book.wav").c_str(), SFM_READ, &info);
        QVERIFY(wav);
        sf_close(wav);
        QVERIFY(static_cast<double>(info.frames) / info.samplerate > 1.0);
        QVERIFY(!form.IsRecording());
    }
};

int main(int argc, char** argv) {
    // An empty runtime folder: no sound server can be found.
    QTemporaryDir empty;
    qputenv("XDG_RUNTIME_DIR", empty.path().toUtf8());
    qunsetenv("PULSE_SERVER");
    qunsetenv("PIPEWIRE_REMOTE");
    int rc = 0;
    {
        QApplication app(argc, argv);
        TForm1RecordNoAudioTest test;
        rc = QTest::qExec(&test, argc, argv);
    }
    vocalix::base::LeaveProcess(rc);
}
#include "TForm1RecordNoAudio_qtest.moc"
