// What a rule with catastrophic backtracking costs before the engine's limits stop it and the
// rule is skipped: one such match alone, and a rule file that holds one among ordinary rules,
// applied to a 4 KB fragment (as reading prepares it) that makes it explode.
#include "base/AtomicFile.h"
#include "textprep/CorrectionRules.h"
#include "textprep/RegExpr.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
namespace tp = vocalix::textprep;

namespace {

// 4 KB of "a" that the nested repetitions cannot end at.
const std::string kFragment = std::string(4094, 'a') + "!\n";

void BM_RunawayMatchStopped(benchmark::State& state) {
    const char* patterns[] = {"^(a+)+$", "(\\w+\\s?)+$", "(.*a){25}$"};
    tp::RegExpr re;
    re.SetExpression(patterns[state.range(0)]);
    int stopped = 0;
    for (auto _ : state) {
        try {
            re.Replace(kFragment, "x");
        } catch (const tp::RegExprError&) {
            ++stopped;
        }
    }
    if (stopped != state.iterations())
        state.SkipWithError("the match was not stopped");
    state.SetLabel(patterns[state.range(0)]);
}
BENCHMARK(BM_RunawayMatchStopped)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Arg 1: the file holds the runaway rule between two ordinary ones; arg 0: only the ordinary.
void BM_RuleFileWithRunawayRule(benchmark::State& state) {
    const fs::path dir =
        fs::temp_directory_path() / ("vocalix-runaway-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir / "dic");
    const std::string body = state.range(0) ? "x=y\r\n^(a+)+$=BOOM\r\nq=w\r\n" : "x=y\r\nq=w\r\n";
    vocalix::base::WriteFileAtomic(dir / "dic" / "r.ini", body);
    tp::RulesSettings settings;
    settings.programDir = dir;
    settings.selection = "r.ini";
    for (auto _ : state) {
        std::string text = kFragment;
        tp::RexFilter(text, settings);
        benchmark::DoNotOptimize(text);
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_RuleFileWithRunawayRule)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
