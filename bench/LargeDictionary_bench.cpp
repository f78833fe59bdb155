// A full-form stress dictionary of a million lines: loading it and filtering one 4096-character
// fragment, for several patterns of generated keys.
//   build/bench/LargeDictionary_bench
// Each run starts without a prepared table, as the first fragment of a reading does. Reports
// the time, the table's memory and the peak resident memory of the run (the process's
// high-water mark is reset before each run).
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/ProcessMemory.h"
#include "textprep/PronunciationFilter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vocalix::textprep;
using vocalix::base::Cp;

namespace {

constexpr size_t kLines = 1000000;
constexpr size_t kFragmentChars = 4096;

// Cyrillic letters of a number, so that keys stay words: digits 0..9 as а..к.
std::string Letters(size_t number, size_t width) {
    std::string out(width, '\xE0');
    for (size_t i = width; i-- > 0; number /= 10)
        out[i] = static_cast<char>(0xE0 + number % 10);
    return out;
}

// Keys of line i for each pattern.
enum Pattern { Numbered, SharedPrefix, SharedEnding, Real };

std::string Key(Pattern pattern, size_t i) {
    switch (pattern) {
    case Numbered: // "слово1", "слово2", ...
        return Cp("слово") + std::to_string(i);
    case SharedPrefix: // a long common beginning, the difference at the end
        return Cp("превысокомногорассмотрительствующий") + Letters(i, 7);
    case SharedEnding: // different beginnings, one long ending
        return Letters(i, 7) + Cp("ообразовательствование");
    case Real: // stems with endings, like a full-form dictionary
        break;
    }
    static const char* const kEndings[] = {"",   "а",   "у",  "ом", "е",   "ы",   "ов",
                                           "ам", "ами", "ах", "ий", "ого", "ому", "ым"};
    return Letters(i / 14, 6) + Cp(kEndings[i % 14]);
}

struct Workload {
    fs::path programDir;
    std::string fragment;
};

Workload& Work(Pattern pattern) {
    static Workload works[4];
    Workload& w = works[pattern];
    if (!w.programDir.empty())
        return w;
    w.programDir = fs::temp_directory_path() / ("vocalix-bigdic-" + std::to_string(pattern));
    fs::create_directories(w.programDir / "dic");
    std::string bytes;
    bytes.reserve(kLines * 48);
    for (size_t i = 0; i < kLines; ++i) {
        const std::string key = Key(pattern, i);
        bytes += key + "=" + key + "'\r\n";
    }
    vocalix::base::WriteFileAtomic(w.programDir / "dic/big.dic", bytes);
    // Words of the dictionary mixed with words it lacks, up to the fragment size.
    for (size_t i = 0; w.fragment.size() < kFragmentChars; i += 7919) {
        w.fragment += Key(pattern, i % kLines) + (i % 3 ? " " : Cp(" нет, "));
        if (i % 11 == 0)
            w.fragment += "\r\n";
    }
    w.fragment.resize(kFragmentChars);
    return w;
}

void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_LoadAndFilterFragment(benchmark::State& state) {
    const auto pattern = static_cast<Pattern>(state.range(0));
    Workload& w = Work(pattern);
    double peakMb = 0, tableMb = 0;
    for (auto _ : state) {
        malloc_trim(0); // what earlier runs freed must not hide this run's growth
        ResetPeak();
        const long before = vocalix::base::StatusKb("VmRSS:");
        {
            PronunciationFilter filter(w.programDir);
            std::string text = w.fragment;
            filter.Filter(text, false, false, "big.dic", "");
            benchmark::DoNotOptimize(text.data());
            tableMb = static_cast<double>(filter.DicPrepare("big.dic")->MemoryBytes()) / 1048576.0;
        }
        peakMb = std::max(peakMb,
                          static_cast<double>(vocalix::base::StatusKb("VmHWM:") - before) / 1024.0);
    }
    state.counters["peak_MB"] = peakMb;
    state.counters["table_MB"] = tableMb;
}
BENCHMARK(BM_LoadAndFilterFragment)
    ->ArgName("pattern") // 0 numbered, 1 shared prefix, 2 shared ending, 3 stems with endings
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
