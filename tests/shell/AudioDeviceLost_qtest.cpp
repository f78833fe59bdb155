// The sound server goes away in the middle of a reading: the window says so and ends the
// reading instead of hanging, the page keeps its text, and reading works again once the server
// is back. The server is a private one, so stopping it disturbs no other test.
#include "FormTestUtil.h"
#include "PrivateAudioSession.h"
#include "QtTestMain.h"
#include "ScriptedPrompter.h"

#include "base/Cp1251.h"
#include "shell/PageEditor.h"
#include "shell/TForm1.h"
#include "speech/AudioPlayer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

using namespace vocalix;
using namespace vocalix::shell;

namespace {
QString g_runtimeDir;
}

class AudioDeviceLostTest : public QObject {
    Q_OBJECT
private slots:
    void serverGoneWhileReading();
};

void AudioDeviceLostTest::serverGoneWhileReading() {
    vocalix::testing::PrivateAudioSession session(g_runtimeDir);
    QString why;
    QVERIFY2(session.Start(&why), qPrintable(why));
    QVERIFY2(speech::AudioPlayer::OutputAvailable(&why), qPrintable(why));

    QTemporaryDir dir;
    shell::testing::ScriptedPrompter prompter;
    TForm1 form(dir.path().toStdString(), prompter);
    form.CreateOtherWindows();
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += base::Cp("Мама мыла раму, папа читал книгу, а дети слушали.\r\n");
    form.ActiveEditor->SetText(text);
    form.ActiveEditor->SetModified(true);
    form.ActiveEditor->SetSelection(0, 0);
    form.ASpeakExecute();
    QVERIFY(form.IsReading());
    QTRY_VERIFY_WITH_TIMEOUT(form.ActiveEditor->SelLength() >= 10, 30000);

    QElapsedTimer clock;
    clock.start();
    session.Stop();
    QTRY_VERIFY_WITH_TIMEOUT(!form.IsReading(), 30000);
    std::printf("the reading ended %lld ms after the server went away\n",
                static_cast<long long>(clock.elapsed()));
    QVERIFY2(clock.elapsed() < 2000, "the lost output must be noticed at once");
    QCOMPARE(prompter.asked.size(), size_t(1));
    QVERIFY2(prompter.asked.front().text.contains(QString::fromUtf8("Нет устройства вывода звука")),
             qPrintable(prompter.asked.front().text));
    QCOMPARE(prompter.asked.front().icon, Icon::Error);
    QCOMPARE(form.ActiveEditor->Text(), text);
    QVERIFY(form.ActiveEditor->Modified());
    QVERIFY(!form.ActiveEditor->ReadOnly()); // the commands are the user's again

    // Reading while there is no server: a message, no reading left hanging.
    form.ActiveEditor->SetSelection(0, 0);
    form.ASpeakExecute();
    QTRY_VERIFY_WITH_TIMEOUT(!form.IsReading(), 15000);
    QCOMPARE(prompter.asked.size(), size_t(2));
    QVERIFY(prompter.asked.back().text.contains(QString::fromUtf8("Нет устройства вывода звука")));
    QTRY_VERIFY_WITH_TIMEOUT(!form.ActiveEditor->ReadOnly(), 5000);

    // The server comes back after a while: the next reading finds it without a restart.
    QTest::qWait(static_cast<int>(std::max<qint64>(0, 5000 - clock.elapsed())));
    QVERIFY2(session.Start(&why), qPrintable(why));
    form.ActiveEditor->SetSelection(0, 0);
    form.ASpeakExecute();
    QVERIFY(form.IsReading());
    QTRY_VERIFY_WITH_TIMEOUT(form.ActiveEditor->SelLength() >= 10, 30000);
    form.AStopExecute();
    QVERIFY(!form.IsReading());
    QCOMPARE(prompter.asked.size(), size_t(2));
    QCOMPARE(form.ActiveEditor->Text(), text);
    QVERIFY(prompter.unexpected.isEmpty());
    shell::testing::ForgetPageChanges(form);
}

int main(int argc, char** argv) {
    QTemporaryDir runtime;
    g_runtimeDir = runtime.path();
    vocalix::testing::PrivateAudioSession::UseRuntimeDir(g_runtimeDir);
    auto app = std::make_unique<QApplication>(argc, argv);
    int rc = 0;
    {
        AudioDeviceLostTest test;
        rc = QTest::qExec(&test, argc, argv);
    }
    app.reset();
    base::LeaveProcess(rc);
}
#include "AudioDeviceLost_qtest.moc"
