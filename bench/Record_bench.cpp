// Recording a book to MP3 (in-process synthesis into the WAV with lame reading it meanwhile;
// and the same by one worker process per processor) side by side with the command-line pair
// `espeak-ng -w` followed by `lame` on the same text, in the same run. The argument is the size
// of the text in bytes (the start of a corpus book, cut at a line end):
//   build/bench/Record_bench --benchmark_filter=/1048576
// Counters: audio_s is the length of the recording, audio_s_per_s that length per second of
// wall time.
#include "audio/Recorder.h"
#include "audio/Workers.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>

#include <sndfile.h>

#include <chrono>
#include <filesystem>
#include <memory>

using namespace vocalix;
namespace fs = std::filesystem;

namespace {

// The start of the book (UTF-8), cut after the last line end within `bytes`.
std::string BookStart(size_t bytes) {
    std::string utf8;
    base::ReadFileBytes(fs::path(VOCALIX_CORPUS_DIR) / "text/books/tolstoy_voyna_i_mir_t1.utf8.txt",
                        utf8);
    while (utf8.size() < bytes)
        utf8 += utf8;
    utf8.resize(bytes);
    return utf8.substr(0, utf8.rfind('\n') + 1);
}

double WavSeconds(const fs::path& wav) {
    SF_INFO info{};
    SNDFILE* f = sf_open(wav.c_str(), SFM_READ, &info);
    if (!f)
        return 0;
    sf_close(f);
    return static_cast<double>(info.frames) / info.samplerate;
}

struct Scratch {
    fs::path dir =
        fs::temp_directory_path() / ("vocalix-record-bench-" + std::to_string(::getpid()));
    Scratch() { fs::create_directories(dir); }
    ~Scratch() { fs::remove_all(dir); }
};

bool Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// workers 1: in this process; 0: one worker process per processor.
void BM_RecordToMp3(benchmark::State& state, int workers) {
    Scratch scratch;
    const std::string text = base::ToCrLf(base::Utf8ToCp1251(BookStart(state.range(0))));
    audio::RecordSettings settings;
    speech::SpVoice voice;
    voice.GetVoices(); // the first voice is the default Russian one
    const fs::path wav = scratch.dir / "book.wav";
    double audioSeconds = 0;
    for (auto _ : state) {
        fs::remove(scratch.dir / "book.mp3");
        const audio::RecordOutcome r =
            workers == 1
                ? audio::RecordAndConvert(voice, text, wav, settings, 1, "-b64 -h", scratch.dir, {})
                : audio::RecordWithWorkers(voice, text, wav, settings, 1, "-b64 -h", scratch.dir,
                                           {}, {}, workers, VOCALIX_BINARY_DIR "/vocalix-cli");
        audioSeconds = r.record.seconds;
        if (r.convert.status != audio::ConvertResult::Status::Converted)
            state.SkipWithError("the encoder failed");
    }
    state.counters["audio_s"] = audioSeconds;
    state.counters["audio_s_per_s"] = benchmark::Counter(
        audioSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_EspeakThenLame(benchmark::State& state) {
    Scratch scratch;
    const fs::path txt = scratch.dir / "book.txt";
    base::WriteFileAtomic(txt, BookStart(state.range(0)));
    const QString wav = QString::fromStdString((scratch.dir / "book.wav").string());
    const QString mp3 = QString::fromStdString((scratch.dir / "book.mp3").string());
    double audioSeconds = 0;
    for (auto _ : state) {
        if (!Run("espeak-ng", {"-v", "ru", "-w", wav, "-f", QString::fromStdString(txt.string())}))
            state.SkipWithError("espeak-ng failed");
        state.PauseTiming();
        audioSeconds = WavSeconds(wav.toStdString());
        state.ResumeTiming();
        if (!Run("lame", {"-b64", "-h", wav, mp3}))
            state.SkipWithError("lame failed");
    }
    state.counters["audio_s"] = audioSeconds;
    state.counters["audio_s_per_s"] = benchmark::Counter(
        audioSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK_CAPTURE(BM_RecordToMp3, one_process, 1)
    ->Arg(65536)
    ->Arg(1 << 20)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_RecordToMp3, workers, 0)
    ->Arg(65536)
    ->Arg(1 << 20)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_EspeakThenLame)
    ->Arg(65536)
    ->Arg(1 << 20)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
