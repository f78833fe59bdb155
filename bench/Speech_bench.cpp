// Reading aloud for real (eSpeak NG into the audio server; run scripts/audio-session.sh first
// when there is no sound card): time from F5 to the first audio sample, the lag of a word's
// highlight behind its audio, and the CPU the reading costs beside the synthesis.
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "cli/CliVoice.h"
#include "speech/Reader.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <memory>

using namespace vocalix;
using namespace vocalix::speech;

namespace {

struct Host : ReaderHost {
    long long selections = 0;
    std::string message;
    void SetSelectionLength(long long, bool) override { ++selections; }
    void SetStatusPanel2(const std::string&) override {}
    void SetTitleActivity(const std::string&) override {}
    void ShowMessage(const std::string& m, bool) override { message = base::Cp1251ToUtf8(m); }
    void UnForbidUserFeatures() override {}
};

// A page of a real book: the text from some way into the novel, as the page holds it.
const std::string& BookPage() {
    static std::string page = [] {
        std::string bytes;
        base::ReadFileBytes(std::string(VOCALIX_CORPUS_DIR) +
                                "/text/books/tolstoy_anna_karenina.cp1251.txt",
                            bytes, nullptr);
        return bytes.size() > 200000 ? bytes.substr(100000, 100000) : bytes;
    }();
    return page;
}

struct Rig {
    base::Options options;
    Engines engines;
    cli::CliToolbar toolbar;
    Host host;
    Reader reader{engines, options, host};
    Rig() {
        toolbar.engines = &engines;
        engines.GetSAPI(true);
        engines.VoicesListCreate(toolbar);
    }
    AudioPlayer& Player() { return engines.Voice->Player(); }
};

Rig& TheRig() {
    static Rig rig;
    return rig;
}

double ThreadCpuSeconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void Spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void BM_F5ToFirstAudioSample(benchmark::State& state) {
    Rig& rig = TheRig();
    if (BookPage().empty() || !AudioPlayer::OutputAvailable(nullptr)) {
        state.SkipWithError("no corpus or no audio output");
        return;
    }
    for (auto _ : state) {
        QEventLoop loop;
        auto c =
            QObject::connect(&rig.Player(), &AudioPlayer::firstSample, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        rig.reader.Speak(BookPage()); // F5 on the page: caret at its start
        loop.exec();
        state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
        QObject::disconnect(c);
        rig.reader.Stop();
        Spin(200);
    }
}
BENCHMARK(BM_F5ToFirstAudioSample)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Reads for a while and measures how late each highlight comes after its word's audio
// (by the audio clock), and the CPU used on the window's thread and in the whole process.
void BM_ReadingLagAndCpu(benchmark::State& state) {
    Rig& rig = TheRig();
    if (BookPage().empty() || !AudioPlayer::OutputAvailable(nullptr)) {
        state.SkipWithError("no corpus or no audio output");
        return;
    }
    double lagSum = 0, lagMax = 0;
    long long words = 0;
    auto c = QObject::connect(&rig.Player(), &AudioPlayer::word, [&](int, int) {
        const double lag =
            static_cast<double>(rig.Player().PlayedSamples() - rig.Player().LastWordSample()) *
            1000.0 / rig.engines.Backend()->SampleRate();
        lagSum += lag;
        lagMax = std::max(lagMax, lag);
        ++words;
    });
    double guiCpu = 0, processCpu = 0, wall = 0;
    for (auto _ : state) {
        const double gui0 = ThreadCpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        const double proc0 = ThreadCpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        QElapsedTimer t;
        t.start();
        rig.reader.Speak(BookPage());
        QTimer loopTimer;
        loopTimer.setInterval(100);
        QObject::connect(&loopTimer, &QTimer::timeout,
                         [&] { rig.reader.TimerNextFragmentTimer(); });
        loopTimer.start();
        Spin(static_cast<int>(state.range(0)));
        rig.reader.Stop();
        wall += static_cast<double>(t.elapsed()) / 1000.0;
        guiCpu += ThreadCpuSeconds(CLOCK_THREAD_CPUTIME_ID) - gui0;
        processCpu += ThreadCpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - proc0;
    }
    QObject::disconnect(c);
    state.counters["words"] = static_cast<double>(words);
    state.counters["lag_mean_ms"] = words ? lagSum / static_cast<double>(words) : 0;
    state.counters["lag_max_ms"] = lagMax;
    state.counters["gui_cpu_pct"] = 100.0 * guiCpu / wall;
    state.counters["process_cpu_pct"] = 100.0 * processCpu / wall;
}
BENCHMARK(BM_ReadingLagAndCpu)->Arg(15000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
