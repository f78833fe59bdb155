// Without an audio server the reading must end with a clear message, not hang.
#include "SpeechFakes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

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
        reader.Speak(base::Cp("Проверка звука.\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(!host.messages.empty(), 30000);
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

int main(int argc, char** argv) {
    // An empty runtime folder: no audio server can be found.
    QTemporaryDir empty;
    qputenv("XDG_RUNTIME_DIR", empty.path().toUtf8());
    qunsetenv("PULSE_SERVER");
    qunsetenv("PIPEWIRE_REMOTE");
    QCoreApplication app(argc, argv);
    NoAudioTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "NoAudio_qtest.moc"
