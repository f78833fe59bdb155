// The analysis reports over a 2 MB book (Anna Karenina, then Crime and Punishment until the
// size is reached, both Windows-1251 with CR LF).
//   build/bench/Analysis_bench
// Reports the time of each report on the whole book; the repetition finder is also run on a
// quarter, a half and the whole book so that its growth with the text shows (BigO fit).
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "textprep/Dictionaries.h"
#include "tools/FileSetOperations.h"
#include "tools/FreshEye.h"
#include "tools/Names.h"
#include "tools/TextProperties.h"
#include "tools/WordHunt.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vocalix::tools;

namespace {

constexpr size_t kBookBytes = 2 << 20;

struct Workload {
    std::string book;
    std::vector<std::string> bookLines, words, properNouns;

    Workload() {
        const fs::path corpus = VOCALIX_CORPUS_DIR;
        std::string anna, crime, wordList, names;
        if (!vocalix::base::ReadFileBytes(corpus / "text/books/tolstoy_anna_karenina.cp1251.txt",
                                          anna) ||
            !vocalix::base::ReadFileBytes(
                corpus / "text/books/dostoevsky_prestuplenie_i_nakazanie.utf8.txt", crime) ||
            !vocalix::base::ReadFileBytes(corpus / "wordlists/hunspell_ru_words.cp1251.txt",
                                          wordList) ||
            !vocalix::base::ReadFileBytes(corpus / "wordlists/hunspell_ru_proper_nouns.cp1251.txt",
                                          names)) {
            std::fprintf(stderr, "corpus folder %s is missing: nothing to measure\n",
                         corpus.c_str());
            std::exit(1);
        }
        book = vocalix::base::ToCrLf(anna + "\r\n" + vocalix::base::Utf8ToCp1251(crime));
        book.resize(std::min(book.size(), kBookBytes));
        book.resize(book.rfind("\r\n") + 2);
        vocalix::textprep::SplitDictionaryLines(book, bookLines);
        vocalix::textprep::SplitDictionaryLines(wordList, words);
        vocalix::textprep::SplitDictionaryLines(names, properNouns);
    }
};

Workload& Work() {
    static Workload w;
    return w;
}

// The first `bytes` of the book, cut after a whole line.
std::string Part(size_t bytes) {
    const std::string& book = Work().book;
    std::string part = book.substr(0, std::min(bytes, book.size()));
    part.resize(part.rfind("\r\n") + 2);
    return part;
}

template <class Report> void RunOnBook(benchmark::State& state, Report&& report) {
    const std::string& book = Work().book;
    for (auto _ : state) {
        std::string r = report(book);
        benchmark::DoNotOptimize(r.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * book.size()));
    state.counters["book_MB"] = static_cast<double>(book.size()) / (1 << 20);
}

void BM_TextProperties(benchmark::State& state) {
    RunOnBook(state, [](const std::string& t) { return TextPropertiesReport(t, "book.txt"); });
}

void BM_Names(benchmark::State& state) {
    RunOnBook(state, [](const std::string& t) { return NamesReport(t, "book.txt"); });
}

void BM_WordHuntProperNouns(benchmark::State& state) {
    const std::vector<std::string>& list = Work().properNouns;
    RunOnBook(state, [&list](const std::string& t) {
        return WordHuntReport(t, "book.txt", list, "names.txt");
    });
}

void BM_FileSetUnionBookAndWordList(benchmark::State& state) {
    const Workload& w = Work();
    RunOnBook(state, [&w](const std::string&) {
        return FileSetReport(FileSetOperation::Union, "book.txt", w.bookLines, "words.txt",
                             w.words);
    });
}

// The default settings (Deep 11, Similarity 50) on growing parts of the book.
void BM_FreshEye(benchmark::State& state) {
    const std::string text = Part(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        std::string r = FreshEyeReport(text, "book.txt", {11, 50});
        benchmark::DoNotOptimize(r.data());
    }
    state.SetComplexityN(static_cast<int64_t>(text.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

} // namespace

BENCHMARK(BM_TextProperties)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Names)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordHuntProperNouns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileSetUnionBookAndWordList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreshEye)
    ->Arg(kBookBytes / 4)
    ->Arg(kBookBytes / 2)
    ->Arg(kBookBytes)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
