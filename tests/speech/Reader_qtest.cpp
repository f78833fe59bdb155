// The reading loop for real: eSpeak NG into the audio server (scripts/audio-session.sh).
#include "AudioSession.h"
#include "QtTestMain.h"
#include "SpeechFakes.h"

#include "speech/Fragments.h"
#include "speech/WordMap.h"

#include "base/AtomicFile.h"
#include "textprep/PronunciationFilter.h"

#include <QDir>
#include <QTemporaryDir>

#include <QSignalSpy>
#include <QTest>

using namespace vocalix;
using namespace vocalix::speech;
using namespace vocalix::speech::testing;

namespace {

constexpr int kLong = 90000; // generous: a loaded two-core machine

// End offset of the last word of the text (what a complete reading selects).
long long LastWordEnd(const std::string& text) {
    const auto words = SpokenWords(text);
    return words.back().start + words.back().length;
}

} // namespace

class ReaderTest : public QObject {
    Q_OBJECT

    struct Rig {
        base::Options options;
        Engines engines;
        FakeToolbar toolbar;
        FakeHost host;
        Reader reader{engines, options, host};
        LoopDriver loop{reader, host};
        explicit Rig(bool sapi5) {
            options.BytesInFrag = 200;
            toolbar.engines = &engines;
            engines.GetSAPI(sapi5);
            engines.VoicesListCreate(toolbar);
        }
        // F5 as the window does it.
        bool F5(const std::string& text) {
            loop.timer.stop();
            const bool started = reader.Speak(text);
            if (started)
                loop.timer.start();
            return started;
        }
        void FastestRate() { toolbar.SetSpeedPosition(toolbar.speed.maximum); }
    };

private slots:
    void initTestCase() {
        VOCALIX_REQUIRE_AUDIO();
        QVERIFY2(!BookSample(100).empty(), "corpus folder ../shared/corpus is absent");
    }

    void readsPageWordByWordToTheEnd_data() {
        QTest::addColumn<bool>("sapi5");
        QTest::newRow("SAPI5") << true;
        QTest::newRow("SAPI4") << false;
    }
    void readsPageWordByWordToTheEnd() {
        QFETCH(bool, sapi5);
        Rig rig(sapi5);
        QVERIFY(rig.engines.Usable());
        rig.FastestRate();
        const std::string text = BookSample(450);
        QVERIFY(rig.F5(text));
        QVERIFY(rig.reader.IsReading);
        QVERIFY(rig.reader.Fragments.size() >= 2);
        QTRY_VERIFY_WITH_TIMEOUT(rig.host.unforbids > 0 && !rig.reader.IsReading, kLong);
        QCOMPARE(rig.host.fragmentsStarted.size(), rig.reader.Fragments.size() + 0u);
        const auto& sel = rig.host.selections;
        QVERIFY(sel.size() > SpokenWords(text).size() / 2);
        for (size_t i = 1; i < sel.size(); ++i)
            QVERIFY2(sel[i] > sel[i - 1], "the selection must grow word by word");
        if (sapi5) {
            QCOMPARE(sel.back(), LastWordEnd(text));
        } else {
            // SAPI 4 reports where each word starts.
            QCOMPARE(sel.back(), static_cast<long long>(SpokenWords(text).back().start));
        }
        QVERIFY(rig.host.messages.empty());
    }

    void pauseFreezesThenF5ContinuesThenStop() {
        Rig rig(true);
        const std::string text = BookSample(600);
        QVERIFY(rig.F5(text));
        QTRY_VERIFY_WITH_TIMEOUT(rig.host.selections.size() >= 3, kLong);
        // F6
        rig.loop.timer.stop();
        QVERIFY(rig.reader.Pause());
        QVERIFY(rig.reader.IsPaused);
        QTest::qWait(300); // a word already due may still arrive
        const size_t frozen = rig.host.selections.size();
        QTest::qWait(1500);
        QCOMPARE(rig.host.selections.size(), frozen);
        // F5 resumes rather than starting over
        QVERIFY(rig.F5(text));
        QVERIFY(!rig.reader.IsPaused);
        QTRY_VERIFY_WITH_TIMEOUT(rig.host.selections.size() >= frozen + 2, kLong);
        QVERIFY(rig.host.selections[frozen] > rig.host.selections[frozen - 1]);
        // F7
        rig.loop.timer.stop();
        QVERIFY(rig.reader.Stop());
        QVERIFY(!rig.reader.IsReading);
        const size_t stoppedAt = rig.host.selections.size();
        QTest::qWait(1000);
        QCOMPARE(rig.host.selections.size(), stoppedAt);
        QVERIFY(!rig.reader.Stop()); // nothing runs any more
        QVERIFY(rig.reader.StopRequested);
    }

    void selectionOver65535DoesNothing() {
        Rig rig(true);
        const std::string big(70000, 'a');
        QVERIFY(!rig.reader.SpeakSelection(big));
        QVERIFY(!rig.reader.IsReading);
        QVERIFY(rig.host.messages.empty());
        QVERIFY(rig.reader.SpeakSelection(base::Cp("Да.")));
        QVERIFY(rig.reader.NoTracking);
        QTRY_VERIFY_WITH_TIMEOUT(rig.reader.FragmentDone, kLong);
        QVERIFY(rig.host.selections.empty()); // no tracking for a selection
    }

    void blankTextChangesNothing() {
        Rig rig(true);
        rig.reader.SpeakText(" \r\n\t ");
        QVERIFY(!rig.reader.IsReading);
        QVERIFY(rig.reader.Fragments.empty());
    }

    void dictionariesScaleTheTrackedSelection() {
        Rig rig(true);
        rig.options.Dictionary = "test.dic";
        // A filter that doubles every character: positions advance at half speed.
        rig.reader.Filter = [](std::string& s, textprep::FilterMap*) {
            std::string doubled;
            for (char c : s)
                doubled += std::string(2, c);
            s = doubled;
        };
        const std::string text = base::Cp("да нет\r\n");
        rig.reader.SpeakText(text);
        QCOMPARE(rig.reader.LengthRatio, 0.5);
        QCOMPARE(rig.reader.SpokenText.size(), 2 * text.size());
        rig.reader.SpVoiceWord(0, 0, 4); // "дда" .. as the engine would report it
        QCOMPARE(rig.host.selections.back(), 2LL);
        rig.reader.SpVoiceWord(0, 6, 6);
        QCOMPARE(rig.host.selections.back(), 6LL);
        // A position that scales into the middle of "нет" ends the selection after it, with
        // either generation's notification.
        rig.reader.SpVoiceWord(0, 6, 2);
        QCOMPARE(rig.host.selections.back(), 6LL);
        rig.reader.WordPosition(7);
        QCOMPARE(rig.host.selections.back(), 6LL);
        rig.reader.WordPosition(3);
        QCOMPARE(rig.host.selections.back(), 2LL);
        rig.reader.StopSpeech();
    }

    // A real book through the real stress dictionary: every word gets longer by its accent
    // mark, and each word the engine reports must select up to the same word of the page.
    void dictionaryHighlightFollowsTheSpokenWord_data() { readsPageWordByWordToTheEnd_data(); }
    void dictionaryHighlightFollowsTheSpokenWord() {
        QFETCH(bool, sapi5);
        QTemporaryDir dir;
        std::string dic;
        QVERIFY(base::ReadFileBytes(
            std::string(VOCALIX_CORPUS_DIR) + "/dict/mueller7_stress.cp1251.dic", dic, nullptr));
        QVERIFY(QDir(dir.path()).mkpath("dic"));
        const std::filesystem::path programDir = dir.path().toStdString();
        QVERIFY(base::WriteFileAtomic(programDir / "dic" / "stress.dic", dic));
        textprep::PronunciationFilter filter(programDir);
        Rig rig(sapi5);
        rig.FastestRate();
        rig.options.Dictionary = "stress.dic";
        rig.reader.Filter = [&filter](std::string& s, textprep::FilterMap* map) {
            filter.Filter(s, false, false, "stress.dic", "", {}, map);
        };
        // What the selection must be after the engine reported the word at this offset of the
        // spoken text: the same word of the page, its end (SAPI 5) or its start (SAPI 4).
        size_t events = 0, wrong = 0, rewritten = 0;
        auto check = [&](long long offset, bool wordEnd) {
            const Reader& r = rig.reader;
            if (!r.IsReading)
                return;
            const auto spoken = SpokenWords(r.SpokenText);
            const auto source = SpokenWords(r.SourceFragment);
            QCOMPARE(spoken.size(), source.size());
            const long long at = wordEnd ? offset - 1 : offset;
            size_t k = 0;
            while (k + 1 < spoken.size() && spoken[k].start + spoken[k].length <= at)
                ++k;
            const long long o =
                std::stoll(r.FragmentOffsets[static_cast<size_t>(r.CurrentFragment)]) - 1;
            const long long expected = o + source[k].start + (wordEnd ? source[k].length : 0);
            ++events;
            rewritten += spoken[k].length != source[k].length;
            if (rig.host.selections.empty() || rig.host.selections.back() != expected)
                ++wrong;
        };
        QMetaObject::Connection spy;
        if (sapi5) {
            spy = connect(rig.engines.Voice.get(), &SpVoice::Word, this,
                          [&](int, int position, int length) { check(position + length, true); });
        } else {
            struct Sink : TTSBufNotifySink {
                Sink(Reader* r, std::function<void(uint32_t)> after)
                    : TTSBufNotifySink(r), m_after(std::move(after)) {}
                HRESULT WordPosition(uint64_t t, uint32_t offset) override {
                    TTSBufNotifySink::WordPosition(t, offset);
                    m_after(offset);
                    return S_OK;
                }
                std::function<void(uint32_t)> m_after;
            };
            rig.engines.MakeBufferSink = [&] {
                return std::make_shared<Sink>(&rig.reader,
                                              [&](uint32_t offset) { check(offset, false); });
            };
            rig.engines.BufferSink = rig.engines.MakeBufferSink(); // the voice is chosen already
        }
        const std::string text = BookSample(450);
        QVERIFY(rig.F5(text));
        QTRY_VERIFY_WITH_TIMEOUT(rig.host.unforbids > 0 && !rig.reader.IsReading, kLong);
        disconnect(spy);
        QVERIFY(events > SpokenWords(text).size() / 2);
        QVERIFY2(rewritten > 10, "the dictionary rewrote too few of the words read");
        QCOMPARE(wrong, size_t{0});
        QVERIFY(rig.host.messages.empty());
    }

    void switchGenerationsAndBack() {
        Rig rig(false);
        QVERIFY(!rig.toolbar.sapi5Head);
        const size_t sapi4Voices = rig.toolbar.voices.size();
        rig.engines.SwitchGeneration(rig.toolbar);
        QVERIFY(rig.engines.UseSAPI5);
        QVERIFY(rig.toolbar.sapi5Head);
        QCOMPARE(rig.toolbar.xNumber, 18);
        QCOMPARE(rig.toolbar.speed.minimum, -10);
        QVERIFY(rig.engines.Usable());
        QCOMPARE(rig.toolbar.voices.size(), sapi4Voices);
        rig.engines.SwitchGeneration(rig.toolbar);
        QVERIFY(!rig.engines.UseSAPI5);
        QCOMPARE(rig.toolbar.xNumber, 7);
        QVERIFY(rig.engines.Usable());
        QVERIFY(rig.engines.VoiceTokens.empty());
    }
};

VOCALIX_QTEST_GUILESS_MAIN(ReaderTest)
#include "Reader_qtest.moc"
