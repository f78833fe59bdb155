// The whole-text editing commands on a 2 MB book (real Russian prose, cp1251, CR LF):
//   build/bench/Edit_bench
// Each benchmark is one command on the whole book; the last one adds what the window does
// around a command (reading the page text and putting the result back into the page).
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "shell/PageEditor.h"
#include "textprep/StringRoutines.h"
#include "tools/CleanUp.h"
#include "tools/ColumnText.h"
#include "tools/LitFormat.h"
#include "tools/NumberWords.h"
#include "tools/TextSearch.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <string>

namespace t = vocalix::tools;

namespace {

std::string g_book;

bool MakeBook() {
    const std::string dir = std::string(VOCALIX_CORPUS_DIR) + "/text/books/";
    std::string tolstoy, war;
    if (!vocalix::base::ReadFileBytes(dir + "tolstoy_anna_karenina.cp1251.txt", tolstoy) ||
        !vocalix::base::ReadFileBytes(dir + "tolstoy_voyna_i_mir_t1.utf8.txt", war))
        return false;
    g_book =
        vocalix::base::ToCrLf(tolstoy) + vocalix::base::ToCrLf(vocalix::base::Utf8ToCp1251(war));
    g_book.resize(2u * 1024 * 1024);
    g_book.resize(g_book.rfind("\r\n") + 2);
    return true;
}

void Run(benchmark::State& state, const std::function<std::string(const std::string&)>& command) {
    size_t out = 0;
    for (auto _ : state) {
        const std::string result = command(g_book);
        out = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * g_book.size()));
    state.counters["out_bytes"] = static_cast<double>(out);
}

t::LitTextSettings Lit(bool justify) {
    t::LitTextSettings s;
    s.RightJustify = justify;
    return s;
}

} // namespace

#define EDIT_BENCH(name, expr)                                                                     \
    void BM_##name(benchmark::State& state) {                                                      \
        Run(state, [](const std::string& text) { return expr; });                                  \
    }                                                                                              \
    BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond)

EDIT_BENCH(Parag, t::FormatLiteraryText(text, Lit(false), t::SeededRandomIndex(1)));
EDIT_BENCH(ParagJustified, t::FormatLiteraryText(text, Lit(true), t::SeededRandomIndex(1)));
EDIT_BENCH(DeleBreaks, t::DeleBreaks(text));
EDIT_BENCH(TabToSpace, t::TabToSpace(text));
EDIT_BENCH(NbspToSpace, t::NbspToSpace(text));
EDIT_BENCH(QuotesSimple, t::QuotesSimple(text));
EDIT_BENCH(TireToMinus, t::TireToMinus(text));
EDIT_BENCH(MtSimple, t::MtSimple(text));
EDIT_BENCH(ParagToLine, t::ParagToLine(text));
EDIT_BENCH(DeleSpaces, t::DeleSpaces(text, 4));
EDIT_BENCH(DeleEmptyLines, t::DeleEmptyLines(text));
EDIT_BENCH(UpperCase, vocalix::textprep::UpperCase(text));
EDIT_BENCH(LowerCase, vocalix::textprep::LowerCase(text));
EDIT_BENCH(NumToPhrase, t::NumbersToWords(t::DotsToDashes(text)));
EDIT_BENCH(ColumnText, t::ColumnText(text));
EDIT_BENCH(ColumnTextLower, t::AlphColumnText(text, 0));
EDIT_BENCH(ColumnTextCase, t::AlphColumnText(text, 1));
EDIT_BENCH(SortText, t::SortLines(text));
EDIT_BENCH(MoveRight, t::TextHorizontalMove(text, 0, 0, 1).text);
EDIT_BENCH(MoveLeft, t::TextHorizontalMove(text, 0, 0, -1).text);
EDIT_BENCH(ReplaceAllIgnoringCase, t::ReplaceAllMatches(text, "\xEA\xEE\xF2\xEE\xF0\xFB\xE9",
                                                        "\xEA\xEE\xF2\xEE\xF0\xFB\xE5", false));

// The formatter as the window runs it: page text out, formatted, page text in.
void BM_ParagInPage(benchmark::State& state) {
    vocalix::shell::PageEditor editor;
    editor.resize(700, 500);
    editor.show();
    editor.SetText(g_book);
    QApplication::processEvents();
    for (auto _ : state) {
        editor.BeginUpdate();
        const std::string text = editor.Text();
        editor.SetText(t::FormatLiteraryText(text, Lit(false), t::SeededRandomIndex(1)));
        editor.EndUpdate();
        QApplication::processEvents();
        state.PauseTiming();
        editor.SetText(g_book);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * g_book.size()));
}
BENCHMARK(BM_ParagInPage)->Unit(benchmark::kMillisecond);

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
