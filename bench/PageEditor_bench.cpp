// The page editor on a 10 MB book: loading, reading the text back, saving it, offset
// translations, and extending the selection word by word as the reading loop does.
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "shell/PageEditor.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <random>

using vocalix::shell::PageEditor;

namespace {

std::string g_book;

// About 10 MB of real Russian prose in cp1251 with CR LF, made from the corpus books.
bool MakeBook() {
    const std::string dir = std::string(VOCALIX_CORPUS_DIR) + "/text/books/";
    std::string tolstoy;
    std::string dostoevsky;
    if (!vocalix::base::ReadFileBytes(dir + "tolstoy_anna_karenina.cp1251.txt", tolstoy) ||
        !vocalix::base::ReadFileBytes(dir + "dostoevsky_prestuplenie_i_nakazanie.utf8.txt",
                                      dostoevsky))
        return false;
    const std::string part = vocalix::base::ToCrLf(tolstoy) +
                             vocalix::base::ToCrLf(vocalix::base::Utf8ToCp1251(dostoevsky));
    while (g_book.size() < 10u * 1024 * 1024)
        g_book += part;
    g_book.resize(10u * 1024 * 1024);
    return true;
}

struct Page {
    PageEditor editor;
    Page() {
        editor.resize(700, 500);
        editor.show();
        editor.SetText(g_book);
        QApplication::processEvents();
    }
};

void BM_LoadBook(benchmark::State& state) {
    PageEditor editor;
    editor.resize(700, 500);
    editor.show();
    for (auto _ : state) {
        editor.SetText(g_book);
        QApplication::processEvents(); // the first paint of the loaded page
        state.PauseTiming();
        editor.SetText("");
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(g_book.size()));
}
BENCHMARK(BM_LoadBook)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TextOfBook(benchmark::State& state) {
    Page page;
    for (auto _ : state)
        benchmark::DoNotOptimize(page.editor.Text());
}
BENCHMARK(BM_TextOfBook)->Unit(benchmark::kMillisecond)->Iterations(5);

// What the window's minute timer costs for a changed page: the text written safely to disk.
void BM_SaveBook(benchmark::State& state) {
    Page page;
    const std::string file = "PageEditor_bench.saved.txt";
    for (auto _ : state)
        if (!page.editor.SaveToFile(file))
            state.SkipWithError("the book could not be saved");
    std::remove(file.c_str());
}
BENCHMARK(BM_SaveBook)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OffsetToPosition(benchmark::State& state) {
    Page page;
    std::mt19937 random(1);
    const int length = page.editor.TextLength();
    for (auto _ : state)
        benchmark::DoNotOptimize(page.editor.OffsetToPosition(static_cast<int>(random() % length)));
}
BENCHMARK(BM_OffsetToPosition)->Unit(benchmark::kMicrosecond);

void BM_PositionToOffset(benchmark::State& state) {
    Page page;
    std::mt19937 random(2);
    const int positions = page.editor.document()->characterCount() - 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            page.editor.PositionToOffset(static_cast<int>(random() % positions)));
}
BENCHMARK(BM_PositionToOffset)->Unit(benchmark::kMicrosecond);

// Each step selects from a fixed start to the end of the next word, as the highlighting of
// spoken words does, and reads the selection back.
void BM_ExtendSelectionByWord(benchmark::State& state) {
    Page page;
    const size_t start = g_book.size() / 2;
    std::vector<int> ends;
    for (size_t i = start; i < g_book.size() && ends.size() < 20000; ++i)
        if (g_book[i] == ' ')
            ends.push_back(static_cast<int>(i - start));
    size_t next = 0;
    for (auto _ : state) {
        page.editor.SetSelection(static_cast<int>(start), ends[next]);
        benchmark::DoNotOptimize(page.editor.SelLength());
        if (++next == ends.size())
            next = 0;
    }
}
BENCHMARK(BM_ExtendSelectionByWord)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!MakeBook()) {
        std::fprintf(stderr, "corpus folder %s is missing: nothing to measure\n",
                     VOCALIX_CORPUS_DIR);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
