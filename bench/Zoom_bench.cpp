// The screen magnifier on an X server: one capture tick, and the processor time and memory
// the running window takes at its 100 ticks a second. Run under an X server, e.g.
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/Zoom_bench
#include "base/ProcessMemory.h"
#include "windows/TZoom.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/resource.h>

using vocalix::windows::TZoom;

namespace {

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_Tick(benchmark::State& state) {
    QWidget main;
    TZoom zoom(&main);
    zoom.show();
    QApplication::processEvents();
    for (auto _ : state) {
        zoom.Timer1Timer();
        QApplication::processEvents(); // the repaint belongs to the tick's cost
    }
}
BENCHMARK(BM_Tick)->Unit(benchmark::kMicrosecond);

// Ten seconds of the real window with its timer: processor time as a share of one core, the
// ticks actually delivered, and how much the resident memory grew meanwhile.
void BM_TenSecondsShown(benchmark::State& state) {
    QWidget main;
    TZoom zoom(&main);
    int ticks = 0;
    QObject::connect(zoom.Timer1, &QTimer::timeout, [&ticks] { ++ticks; });
    zoom.Open();
    // Warm up so that the first allocations are not counted as growth.
    QEventLoop warm;
    QTimer::singleShot(1000, &warm, &QEventLoop::quit);
    warm.exec();
    for (auto _ : state) {
        ticks = 0;
        const long rssBefore = vocalix::base::StatusKb("VmRSS:");
        const double cpuBefore = ProcessorSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        state.counters["cpu_percent"] = 100.0 * (ProcessorSeconds() - cpuBefore) / wall;
        state.counters["ticks_per_s"] = ticks / wall;
        state.counters["rss_growth_kb"] =
            static_cast<double>(vocalix::base::StatusKb("VmRSS:") - rssBefore);
    }
}
BENCHMARK(BM_TenSecondsShown)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (!TZoom::Available()) {
        std::fprintf(stderr, "the magnifier needs an X11 screen: run under an X server\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
