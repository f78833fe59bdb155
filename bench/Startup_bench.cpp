// Start-up: the time from starting `vocalix` to its main window being mapped on the X server,
// in a fresh program folder and in one that restores ten pages of 1 MB each.
//   xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" build/bench/Startup_bench
// Each run copies the program (beside this benchmark's folder) into a temporary program folder
// and starts it there; the window counts as shown when the server reports the map of a
// top-level window whose _NET_WM_PID is the started process. The process is killed after.
// Counters: max_ms (the slowest run), cpu_ms (the processor time the program used until it
// was killed, which a busy machine does not stretch) and restored_MB.
#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kPages = 10;
constexpr size_t kPageBytes = 1 << 20;

// The program measured: VOCALIX_PROGRAM when set (to compare another build), else the one
// this benchmark was built with.
fs::path ProgramBeside() {
    if (const char* other = std::getenv("VOCALIX_PROGRAM"))
        return fs::absolute(other);
    return fs::canonical("/proc/self/exe").parent_path().parent_path() / "vocalix";
}

// A program folder: the executable and the shipped data, plus "$.ini" naming the page files.
fs::path MakeProgramFolder(const fs::path& root, int pages) {
    const fs::path dir = root / ("pages" + std::to_string(pages));
    fs::create_directories(dir);
    const fs::path build = ProgramBeside().parent_path();
    fs::copy_file(ProgramBeside(), dir / "vocalix", fs::copy_options::overwrite_existing);
    for (const char* data : {"dic", "sounds", "help", "profiles"})
        if (fs::exists(build / data))
            fs::copy(build / data, dir / data,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    if (pages == 0)
        return dir;
    std::string book;
    if (!vocalix::base::ReadFileBytes(
            fs::path(VOCALIX_CORPUS_DIR) / "text/books/tolstoy_anna_karenina.cp1251.txt", book) ||
        book.size() < kPageBytes + 2) {
        std::fprintf(stderr, "corpus folder %s is missing: nothing to measure\n",
                     VOCALIX_CORPUS_DIR);
        std::exit(1);
    }
    std::string ini = "[Text]\r\n";
    for (int n = 1; n <= pages; ++n) {
        // Each page a different 1 MB of the novel, cut at a line end.
        const size_t from = book.find("\r\n", (book.size() - kPageBytes) * (n - 1) / pages) + 2;
        std::string text = book.substr(from, kPageBytes);
        text.resize(text.rfind("\r\n") + 2);
        const fs::path file = dir / ("page" + std::to_string(n) + ".txt");
        vocalix::base::WriteFileAtomic(file, text);
        ini += "FileName" + std::to_string(n) + "=" + file.string() + "\r\n";
        ini += "CharPos" + std::to_string(n) + "=" + std::to_string(text.size() / 2) + "\r\n";
    }
    ini += "ActivePageIndex=0\r\n";
    vocalix::base::WriteFileAtomic(dir / "$.ini", ini);
    return dir;
}

struct Display {
    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t pidAtom = 0;

    Display() {
        c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c)) {
            std::fprintf(stderr, "no X server (run under xvfb-run)\n");
            std::exit(1);
        }
        root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
        const char name[] = "_NET_WM_PID";
        auto* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
        pidAtom = reply ? reply->atom : 0;
        std::free(reply);
        xcb_flush(c);
    }
    ~Display() { xcb_disconnect(c); }

    pid_t WindowPid(xcb_window_t window) const {
        auto* reply = xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        pid_t pid = 0;
        if (reply && xcb_get_property_value_length(reply) == 4)
            pid = static_cast<pid_t>(*static_cast<uint32_t*>(xcb_get_property_value(reply)));
        std::free(reply);
        return pid;
    }

    // Waits until a top-level window of the process is mapped; false after the time limit.
    bool WaitMapped(pid_t pid, std::chrono::steady_clock::time_point limit) {
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        while (std::chrono::steady_clock::now() < limit) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
                const bool mapped =
                    (event->response_type & 0x7F) == XCB_MAP_NOTIFY &&
                    WindowPid(reinterpret_cast<xcb_map_notify_event_t*>(event)->window) == pid;
                std::free(event);
                if (mapped)
                    return true;
            }
            if (xcb_connection_has_error(c))
                return false;
            poll(&fd, 1, 50);
        }
        return false;
    }
};

void BM_StartupToShownWindow(benchmark::State& state) {
    static Display display;
    const int pages = static_cast<int>(state.range(0));
    const fs::path root =
        fs::temp_directory_path() / ("vocalix-startup-" + std::to_string(getpid()));
    const fs::path dir = MakeProgramFolder(root, pages);
    const std::string program = (dir / "vocalix").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    double slowest = 0, cpu = 0;
    for (auto _ : state) {
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("the program could not be started");
            break;
        }
        const bool shown = display.WaitMapped(pid, start + std::chrono::seconds(20));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        kill(pid, SIGKILL);
        rusage usage{};
        wait4(pid, nullptr, 0, &usage);
        cpu += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        if (!shown) {
            state.SkipWithError("the window was not shown within 20 s");
            break;
        }
        state.SetIterationTime(seconds);
        slowest = std::max(slowest, seconds);
    }
    posix_spawn_file_actions_destroy(&actions);
    state.counters["max_ms"] = slowest * 1000;
    state.counters["cpu_ms"] = cpu * 1000 / static_cast<double>(state.iterations());
    state.counters["restored_MB"] = pages * static_cast<double>(kPageBytes) / (1 << 20);
    std::error_code ec;
    fs::remove_all(root, ec);
}
BENCHMARK(BM_StartupToShownWindow)
    ->ArgName("pages")
    ->Arg(0)
    ->Arg(kPages)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
