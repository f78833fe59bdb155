// F5, F6, F7, F8 and F12 on the window, reading for real into the audio server.
#include "AudioSession.h"
#include "QtTestMain.h"
#include "ScriptedPrompter.h"

#include "base/Cp1251.h"
#include "shell/TForm1.h"
#include "speech/AudioPlayer.h"

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace vocalix;
using namespace vocalix::shell;

class TForm1SpeechTest : public QObject {
    Q_OBJECT
private slots:
    void readingFollowsTheTextAndStopLeavesTheCaret() {
        VOCALIX_REQUIRE_AUDIO();
        QTemporaryDir dir;
        testing::ScriptedPrompter prompter;
        TForm1 form(dir.path().toStdString(), prompter);
        form.CreateOtherWindows();
        QVERIFY(form.EngineUsable());
        QVERIFY(form.ComboBox1->count() > 4);
        QVERIFY(form.ComboBox1->currentText().startsWith(QString::fromUtf8("Русский")));
        std::string text;
        for (int i = 0; i < 6; ++i)
            text += base::Cp("Мама мыла раму, папа читал книгу.\r\n");
        form.ActiveEditor->SetText(text);
        form.ActiveEditor->SetSelection(0, 0);
        form.ASpeakExecute();
        QVERIFY(form.IsReading());
        QVERIFY(form.ActiveEditor->ReadOnly());
        // The voice and the generation cannot change under a running reading.
        QVERIFY(!form.ComboBox1->isEnabled());
        QVERIFY(!form.Command("ASAPI")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(form.ActiveEditor->SelLength() >= 10, 60000);
        form.APauseExecute();
        QVERIFY(form.IsPaused());
        QCOMPARE(form.StatusPanel[2]->text(), QString::fromUtf8("Пауза"));
        QVERIFY(form.windowIconText().startsWith(QString::fromUtf8("Vocalix - Пауза: ")));
        QVERIFY(!form.ActiveEditor->ReadOnly()); // editing is allowed during a pause
        QVERIFY(!form.ComboBox1->isEnabled());   // the paused engine is kept
        QTest::qWait(300);
        const int frozen = form.ActiveEditor->SelLength();
        QTest::qWait(1000);
        QCOMPARE(form.ActiveEditor->SelLength(), frozen);
        form.ASpeakExecute(); // continues
        QTRY_VERIFY_WITH_TIMEOUT(form.ActiveEditor->SelLength() > frozen, 60000);
        form.AStopExecute();
        QVERIFY(!form.IsReading());
        const int caret = form.ActiveEditor->SelStart();
        QVERIFY(caret > frozen);
        QCOMPARE(form.ActiveEditor->SelLength(), 0);
        QCOMPARE(form.PageCharPos[1], caret);
        QVERIFY(!form.ActiveEditor->ReadOnly());
        QVERIFY(form.ComboBox1->isEnabled());
        QVERIFY(form.Command("ASAPI")->isEnabled());

        // F8 with more than 65535 characters selected does nothing.
        form.ActiveEditor->SetText(std::string(70000, 'a'));
        form.ActiveEditor->selectAll();
        form.ASelSpeakExecute();
        QVERIFY(!form.IsReading());

        // F12 and back.
        QVERIFY(form.lbSAPI->text().contains("SAPI4"));
        form.ASAPIExecute();
        QVERIFY(form.lbSAPI->text().contains("SAPI5"));
        QCOMPARE(form.trSpeed->minimum(), -10);
        QVERIFY(form.EngineUsable());
        form.ASAPIExecute();
        QVERIFY(form.lbSAPI->text().contains("SAPI4"));
        QVERIFY(form.EngineUsable());
        QVERIFY(prompter.unexpected.empty());
    }
};

VOCALIX_QTEST_MAIN(TForm1SpeechTest)
#include "TForm1Speech_qtest.moc"
