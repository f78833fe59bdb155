// Opening a 10 MB FB2 book: conversion time and the heap it needs.
//
// The book is assembled from the corpus: the description and pictures of the FB2 test book,
// and a body of paragraphs from the long novels (UTF-8, as most FB2 books are), repeated until
// the file reaches 10 MB. Counters: file_MB, peak_heap_MB (the highest heap use above the
// level before opening) and heap_per_file (that peak over the file size).
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/ProcessMemory.h"
#include "documents/BookInfo.h"
#include "documents/HtmlToText.h"
#include "documents/OpenDocument.h"
#include "documents/RtfReader.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <new>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

// Heap accounting through the global allocation functions.
namespace {
std::atomic<long long> g_heapNow{0};
std::atomic<long long> g_heapPeak{0};

void* Allocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    const long long now = g_heapNow += static_cast<long long>(malloc_usable_size(p));
    long long peak = g_heapPeak.load();
    while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}
void Release(void* p) {
    if (!p)
        return;
    g_heapNow -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Release(p);
}

namespace {

constexpr std::size_t kBookSize = 10u << 20;

std::string ReadCorpus(const std::string& relative) {
    std::string bytes;
    if (!vocalix::base::ReadFileBytes(fs::path(VOCALIX_CORPUS_DIR) / relative, bytes))
        return {};
    return bytes;
}

// Paragraphs of the novels as FB2 "<p>" elements, in UTF-8.
std::string NovelParagraphs() {
    std::string body;
    for (const char* name : {"text/books/dostoevsky_prestuplenie_i_nakazanie.utf8.txt",
                             "text/books/tolstoy_voyna_i_mir_t1.utf8.txt",
                             "text/books/pushkin_kapitanskaya_dochka.utf8.txt"}) {
        const std::string text = ReadCorpus(name);
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(pos, end - pos);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                body += "<p>" + line + "</p>\r\n";
            else
                body += "<empty-line/>\r\n";
            pos = end + 1;
        }
    }
    return body;
}

// The 10 MB book, written once into a temporary folder.
const fs::path& BookPath() {
    static const fs::path path = [] {
        const std::string sample = ReadCorpus("fb2/pushkin_pikovaya_dama.utf8.fb2");
        const std::size_t bodyStart = sample.find("<body>");
        const std::size_t binaryStart = sample.find("<binary");
        if (sample.empty() || bodyStart == std::string::npos || binaryStart == std::string::npos)
            return fs::path();
        const std::string head = sample.substr(0, bodyStart) + "<body>\r\n";
        const std::string tail = "</body>\r\n" + sample.substr(binaryStart);
        const std::string paragraphs = NovelParagraphs();
        std::string book = head;
        int section = 0;
        while (book.size() + tail.size() < kBookSize) {
            book += "<section><title><p>" + std::to_string(++section) + "</p></title>\r\n";
            const std::size_t room = kBookSize - tail.size() - book.size();
            std::size_t cut = std::min(room, paragraphs.size());
            cut = paragraphs.rfind("</p>\r\n", cut);
            if (cut == std::string::npos || cut == 0)
                break;
            book += paragraphs.substr(0, cut + 6);
            book += "</section>\r\n";
        }
        book += tail;
        const fs::path dir = fs::temp_directory_path() / "vocalix-bench-documents";
        fs::create_directories(dir);
        const fs::path file = dir / "book.fb2";
        vocalix::base::WriteFileAtomic(file, book);
        return file;
    }();
    return path;
}

void ReportHeap(benchmark::State& state, long long before, std::size_t fileSize) {
    const double peak = static_cast<double>(g_heapPeak.load() - before);
    state.counters["file_MB"] = static_cast<double>(fileSize) / (1 << 20);
    state.counters["peak_heap_MB"] = peak / (1 << 20);
    state.counters["heap_per_file"] = peak / static_cast<double>(fileSize);
}

// The whole open routine: read, UTF-8 repair, markup stripping, pictures, the ".txt" written.
void BM_OpenFb2Book(benchmark::State& state) {
    const fs::path& book = BookPath();
    if (book.empty()) {
        state.SkipWithError("corpus folder not found");
        return;
    }
    const std::size_t size = fs::file_size(book);
    const long long before = g_heapNow.load();
    g_heapPeak = before;
    for (auto _ : state) {
        auto r = vocalix::documents::OpenDocument(book.string(), "", true);
        benchmark::DoNotOptimize(r.text.data());
        if (!r.written || !r.pictureError.empty())
            state.SkipWithError("the book was not converted");
    }
    ReportHeap(state, before, size);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_OpenFb2Book)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Title and author of the same book, as opening and every recording of it read them: only
// the description at its start, however long the book.
void BM_Fb2BookInfo(benchmark::State& state) {
    const fs::path& book = BookPath();
    if (book.empty()) {
        state.SkipWithError("corpus folder not found");
        return;
    }
    for (auto _ : state) {
        const vocalix::documents::BookInfo info = vocalix::documents::ReadBookInfo(book);
        if (info.title.empty())
            state.SkipWithError("no title read");
        benchmark::DoNotOptimize(info.title.data());
    }
}
BENCHMARK(BM_Fb2BookInfo)->Unit(benchmark::kMicrosecond);

// The system converter on the same file, as a user would run it: a process writing the
// Windows-1251 text to a file. "-c" drops the few characters Windows-1251 lacks (French
// accents in the novels); without it the converter stops at the first one. Returns the
// seconds taken, or a negative value when the converter failed.
double IconvSeconds(const fs::path& book, const fs::path& output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::string path = book.string();
    char* argv[] = {const_cast<char*>("iconv"),
                    const_cast<char*>("-c"),
                    const_cast<char*>("-f"),
                    const_cast<char*>("utf-8"),
                    const_cast<char*>("-t"),
                    const_cast<char*>("cp1251"),
                    path.data(),
                    nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = -1;
    const bool started = posix_spawnp(&pid, "iconv", &actions, nullptr, argv, environ) == 0;
    if (started)
        waitpid(pid, &status, 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return started && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

// The growth of the resident memory while opening the book, in a child process so that
// nothing this benchmark holds counts; in bytes, or -1 when the child failed.
long long OpenPeakRssBytes(const fs::path& book) {
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5"; // the high-water mark starts again here
        const long before = vocalix::base::StatusKb("VmRSS:");
        const auto r = vocalix::documents::OpenDocument(book.string(), "", true);
        long long grown = (vocalix::base::StatusKb("VmHWM:") - before) * 1024;
        if (!r.written)
            grown = -1;
        (void)!write(fds[1], &grown, sizeof grown);
        _exit(0);
    }
    close(fds[1]);
    long long grown = -1;
    if (pid < 0 || read(fds[0], &grown, sizeof grown) != sizeof grown)
        grown = -1;
    close(fds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    return grown;
}

// Opening the book beside the system converter, alternately in each iteration, and the peak
// resident memory of opening. The ".txt" written by the previous open is removed first, so
// every open converts and writes. Counters: ratio (open time over converter time, summed over
// the iterations), iconv_ms, peak_rss_MB and rss_per_file.
void BM_OpenFb2BesideIconv(benchmark::State& state) {
    const fs::path& book = BookPath();
    if (book.empty()) {
        state.SkipWithError("corpus folder not found");
        return;
    }
    const fs::path txt = fs::path(book).replace_extension(".txt");
    const fs::path iconvOut = book.parent_path() / "iconv.out";
    double openTotal = 0, iconvTotal = 0;
    for (auto _ : state) {
        std::error_code ec;
        fs::remove(txt, ec);
        const auto start = std::chrono::steady_clock::now();
        auto r = vocalix::documents::OpenDocument(book.string(), "", true);
        const double open =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(r.text.data());
        const double iconv = IconvSeconds(book, iconvOut);
        if (!r.written || iconv < 0) {
            state.SkipWithError("the book was not converted");
            return;
        }
        state.SetIterationTime(open);
        openTotal += open;
        iconvTotal += iconv;
    }
    const long long peak = OpenPeakRssBytes(book);
    const auto size = static_cast<double>(fs::file_size(book));
    state.counters["ratio"] = openTotal / iconvTotal;
    state.counters["iconv_ms"] = iconvTotal * 1000 / static_cast<double>(state.iterations());
    state.counters["peak_rss_MB"] = static_cast<double>(peak) / (1 << 20);
    state.counters["rss_per_file"] = static_cast<double>(peak) / size;
}
BENCHMARK(BM_OpenFb2BesideIconv)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// The markup stripper alone on the book once repaired.
void BM_HtmlToTextBook(benchmark::State& state) {
    const fs::path& book = BookPath();
    if (book.empty()) {
        state.SkipWithError("corpus folder not found");
        return;
    }
    std::string text;
    vocalix::base::ReadFileBytes(book, text);
    const std::size_t size = text.size();
    const long long before = g_heapNow.load();
    g_heapPeak = before;
    for (auto _ : state) {
        std::vector<std::string> pictures;
        benchmark::DoNotOptimize(vocalix::documents::HtmlToText(text, pictures).data());
    }
    ReportHeap(state, before, size);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_HtmlToTextBook)->Unit(benchmark::kMillisecond);

// The RTF reader on the 2 MB office document with pictures.
void BM_RtfWithPictures(benchmark::State& state) {
    const std::string rtf = ReadCorpus("rtf/chekhov_dama_s_sobachkoy_pictures.libreoffice.rtf");
    if (rtf.empty()) {
        state.SkipWithError("corpus folder not found");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(vocalix::documents::RtfToText(rtf).data());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_RtfWithPictures)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
