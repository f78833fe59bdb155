#include "AudioSession.h"
#include "QtTestMain.h"
#include "base/Cp1251.h"
#include "speech/Sapi5.h"
#include "speech/WordMap.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace vocalix;
using namespace vocalix::speech;

class SpVoiceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { VOCALIX_REQUIRE_AUDIO(); }

    void voicesRussianFirst() {
        SpVoice voice;
        const auto tokens = voice.GetVoices();
        QVERIFY(tokens.size() > 4);
        QVERIFY(tokens[0]->Voice().russian);
        QCOMPARE(tokens[0]->Voice().id, std::string("Russian"));
        QVERIFY(!tokens.back()->Voice().russian);
    }

    void speaksWordsInOrderThenEndStream() {
        SpVoice voice;
        voice.SetEventInterests(33790);
        voice.SetVoice(voice.GetVoices().front());
        const std::string text = base::Cp("Мама мыла раму. Папа читал книгу, 25 страниц!\r\n");
        QSignalSpy words(&voice, &SpVoice::Word);
        QSignalSpy end(&voice, &SpVoice::EndStream);
        QElapsedTimer t;
        t.start();
        voice.Speak(text, SVSFlagsAsync | SVSFPurgeBeforeSpeak | SVSFIsNotXML);
        QVERIFY(end.wait(30000));
        qInfo() << "spoken in" << t.elapsed() << "ms";
        const auto expected = SpokenWords(text);
        QCOMPARE(words.size(), static_cast<qsizetype>(expected.size()));
        int last = -1;
        for (const auto& args : words) {
            const int pos = args.at(1).toInt();
            QVERIFY(pos > last);
            last = pos;
        }
    }
};

VOCALIX_QTEST_GUILESS_MAIN(SpVoiceTest)
#include "SpVoice_qtest.moc"
