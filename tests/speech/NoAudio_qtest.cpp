// Without a usable audio server the reading must end within seconds with a clear message, not
// hang: with no server at all, and (--broken-server) with a server that accepts clients but
// cannot play, as PipeWire's PulseAudio service does when no session manager links streams.
#include "SpeechFakes.h"

#include "base/ProcessExit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

using namespace vocalix;
using namespace vocalix::speech;
using namespace vocalix::speech::testing;

class NoAudioTest : public QObject {
    Q_OBJECT
private slots:
    void readingShowsAClearMessage_data() {
        QTest::addColumn<bool>("sapi5");
        QTest::newRow("SAPI5") << true;
        QTest::newRow("SAPI4") << false;
    }
    void readingShowsAClearMessage() {
        QFETCH(bool, sapi5);
        base::Options options;
        Engines engines;
        FakeToolbar toolbar;
        toolbar.engines = &engines;
        FakeHost host;
        Reader reader(engines, options, host);
        engines.GetSAPI(sapi5);
        engines.VoicesListCreate(toolbar);
        QVERIFY(engines.Usable()); // the engine itself works without a sound card
        QElapsedTimer elapsed;
        elapsed.start();
        reader.Speak(base::Cp("Проверка звука.\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(!host.messages.empty(), 30000);
        QVERIFY2(elapsed.elapsed() < 8000, "the failure must be reported within seconds");
        QVERIFY(!reader.IsReading);
        const std::string message = base::Cp1251ToUtf8(host.messages.front());
        QVERIFY2(message.rfind("Ошибка голосового движка", 0) == 0, message.c_str());
        QVERIFY2(message.find("Нет устройства вывода звука") != std::string::npos, message.c_str());
    }

    void fileOutputStillWorks() {
        QTemporaryDir dir;
        SpVoice voice;
        SpFileStream stream;
        stream.Format.Type = 22;
        const std::string path = dir.filePath("out.wav").toStdString();
        stream.Open(path);
        voice.SetAudioOutputStream(&stream);
        voice.Speak(base::Cp("Запись в файл."), SVSFPurgeBeforeSpeak | SVSFIsNotXML);
        QVERIFY(stream.Seek(0, SSSPTRelativeToCurrent) > 22050); // over half a second of audio
        stream.Close();
        QVERIFY(QFileInfo(QString::fromStdString(path)).size() > 44 + 22050);
    }
};

namespace {

// A PulseAudio-protocol server without a session manager: clients connect, streams never start.
class BrokenServer {
public:
    explicit BrokenServer(const QString& runtimeDir) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), runtimeDir + QStringLiteral("/config"));
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        for (QProcess* p : {&m_pipewire, &m_pulse}) {
            p->setProcessEnvironment(env);
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->setStandardOutputFile(QProcess::nullDevice());
        }
        m_pipewire.start(QStringLiteral("pipewire"), {});
        m_pipewire.waitForStarted();
        QTest::qWait(300);
        m_pulse.start(QStringLiteral("pipewire-pulse"), {});
        m_pulse.waitForStarted();
        for (int i = 0; i < 100 && !QFileInfo::exists(runtimeDir + "/pulse/native"); ++i)
            QTest::qWait(50);
    }
    ~BrokenServer() {
        for (QProcess* p : {&m_pulse, &m_pipewire}) {
            p->terminate();
            p->waitForFinished(3000);
        }
    }
    bool Running() const {
        return m_pipewire.state() == QProcess::Running && m_pulse.state() == QProcess::Running;
    }

private:
    QProcess m_pipewire, m_pulse;
};

} // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    const auto broken = std::find(args.begin(), args.end(), std::string_view("--broken-server"));
    const bool brokenServer = broken != args.end();
    if (brokenServer)
        args.erase(broken);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    qunsetenv("PULSE_SERVER");
    qunsetenv("PIPEWIRE_REMOTE");
    int count = static_cast<int>(args.size());
    QCoreApplication app(count, args.data());
    std::unique_ptr<BrokenServer> server;
    if (brokenServer) {
        server = std::make_unique<BrokenServer>(runtime.path());
        if (!server->Running()) {
            std::fprintf(stderr, "FAIL: pipewire and pipewire-pulse did not start\n");
            return 1;
        }
    }
    int rc = 0;
    {
        NoAudioTest test;
        rc = QTest::qExec(&test, count, args.data());
    }
    server.reset();
    vocalix::base::LeaveProcess(rc);
}
#include "NoAudio_qtest.moc"
