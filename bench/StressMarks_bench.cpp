// What stress marks cost in synthesis: a book page as it is, and the same page after the
// shipped stress dictionary (every word it knows gets a "+", and each marked word is looked
// up in eSpeak and restressed). Both synthesise the whole page to samples in-process:
//   build/bench/StressMarks_bench
// Counters: marked is the number of words with a mark, audio_s the length of the speech.
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "speech/SpeechEngine.h"
#include "textprep/PronunciationFilter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>

using namespace vocalix;
namespace fs = std::filesystem;

namespace {

// About 8 KB of a novel in Windows-1251, cut at a line end.
std::string Page() {
    std::string text;
    base::ReadFileBytes(
        fs::path(VOCALIX_CORPUS_DIR) / "text/encodings/pushkin_pikovaya_dama.cp1251.txt", text);
    text.resize(std::min<size_t>(text.size(), 8192));
    return text.substr(0, text.rfind('\n') + 1);
}

std::string Marked(const std::string& page) {
    std::string text = page;
    // The shipped dictionaries live in data/dic of the source tree.
    textprep::PronunciationFilter filter(fs::path(__FILE__).parent_path().parent_path() / "data");
    filter.Filter(text, true, true, "ru-stress.dic", "");
    return text;
}

void Synthesise(benchmark::State& state, const std::string& text) {
    auto engine = speech::DefaultEngine();
    std::vector<int16_t> samples;
    for (auto _ : state) {
        std::string error;
        if (!engine->SynthesizeAll(text, {"Russian", 175, 50, false}, samples, nullptr, &error))
            state.SkipWithError(error.c_str());
    }
    state.counters["marked"] = static_cast<double>(std::count(text.begin(), text.end(), '+'));
    state.counters["audio_s"] = static_cast<double>(samples.size()) / engine->SampleRate();
}

void BM_PagePlain(benchmark::State& state) {
    Synthesise(state, Page());
}
BENCHMARK(BM_PagePlain)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PageWithStressMarks(benchmark::State& state) {
    Synthesise(state, Marked(Page()));
}
BENCHMARK(BM_PageWithStressMarks)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
