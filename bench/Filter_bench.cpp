// Pronunciation filter over a real book, fragment by fragment, with a 50,000-line dictionary.
//   build/bench/Filter_bench
// Reports fragments per second with the prepared table reused, the time of the first fragment
// (which builds the table), the same with the table rebuilt for every fragment, and the
// table's memory.
#include "base/AtomicFile.h"
#include "textprep/Dictionaries.h"
#include "textprep/PronunciationFilter.h"
#include "textprep/StringRoutines.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vocalix::textprep;

namespace {

constexpr size_t kFragmentBytes = 4096;
constexpr size_t kBookBytes = 1 << 20;
constexpr size_t kDicLines = 50000;

struct Workload {
    fs::path programDir;
    std::vector<std::string> fragments;
    size_t bookBytes = 0;

    Workload() {
        const fs::path corpus = VOCALIX_CORPUS_DIR;
        std::string book, stress;
        if (!vocalix::base::ReadFileBytes(corpus / "text/books/tolstoy_anna_karenina.cp1251.txt",
                                          book) ||
            !vocalix::base::ReadFileBytes(corpus / "dict/mueller7_stress.cp1251.dic", stress)) {
            std::fprintf(stderr, "corpus folder %s is missing: nothing to measure\n",
                         corpus.c_str());
            std::exit(0);
        }
        book.resize(std::min(book.size(), kBookBytes));
        book.resize(book.rfind("\r\n") + 2);
        bookBytes = book.size();
        // Whole lines, up to the fragment size, as the reading loop cuts them.
        size_t start = 0;
        while (start < book.size()) {
            size_t end = start;
            for (;;) {
                size_t next = book.find("\r\n", end);
                next = next == std::string::npos ? book.size() : next + 2;
                if (end > start && next - start > kFragmentBytes)
                    break;
                end = next;
                if (end >= book.size())
                    break;
            }
            fragments.push_back(book.substr(start, end - start));
            start = end;
        }
        programDir = fs::temp_directory_path() / "vocalix-filter-bench";
        fs::create_directories(programDir / "dic");
        vocalix::base::WriteFileAtomic(programDir / "dic/big.dic", MakeDictionary(stress));
    }

    // Real stress entries, plus endings, beginnings, inner parts, case-sensitive words,
    // phrases, tags and comments up to kDicLines lines.
    static std::string MakeDictionary(const std::string& stress) {
        std::vector<std::string> lines;
        SplitDictionaryLines(stress, lines);
        std::vector<std::string> out;
        out.push_back("_Z_=<pause 300>");
        out.push_back("_E_=<pause 600>");
        out.push_back("_S_=<pause 100>");
        out.push_back("_D_=<voice 2>");
        out.push_back("_XD_=<voice 1>");
        out.push_back("_C_=<voice 1>");
        out.push_back("_XC_=<voice 2>");
        out.push_back("_CENZ_=\xEF\xEE\xF0\xF2\xE8\xF2\xFC*"); // "портить*"
        size_t n = 0;
        for (const std::string& l : lines) {
            if (out.size() >= kDicLines)
                break;
            const std::string_view left = NameOf(l);
            if (left.empty() || l[0] == '#')
                continue;
            ++n;
            const std::string word(left);
            switch (n % 10) {
            case 0: // an ending
                if (word.size() > 5)
                    out.push_back("*" + word.substr(word.size() - 4) + "=" +
                                  word.substr(word.size() - 4));
                break;
            case 1: // a beginning
                if (word.size() > 6)
                    out.push_back(word.substr(0, 4) + "*=" + word.substr(0, 4));
                break;
            case 2: // a case-sensitive word
                out.push_back("$" + CapitalizeFirstLetter(word) + "=" + word);
                break;
            case 3:                                              // a phrase
                out.push_back(word + " \xE8=" + word + " \xE8"); // "... и"
                break;
            default:
                break;
            }
            if (out.size() < kDicLines)
                out.push_back(l);
        }
        while (out.size() < kDicLines)
            out.push_back("# " + std::to_string(out.size()));
        std::string bytes;
        for (const std::string& l : out)
            bytes += l + "\r\n";
        return bytes;
    }
};

Workload& Work() {
    static Workload w;
    return w;
}

const std::string kSelection = "big.dic";

// Steady reading: the table is prepared once and reused for every fragment; with a map, as
// the reading loop asks for one to follow the words.
void FilterFragments(benchmark::State& state, FilterMap* map) {
    Workload& w = Work();
    PronunciationFilter filter(w.programDir);
    filter.DicPrepare(kSelection);
    size_t fragments = 0, bytes = 0;
    for (auto _ : state) {
        for (const std::string& f : w.fragments) {
            std::string text = f;
            filter.Filter(text, false, false, kSelection, "", {}, map);
            benchmark::DoNotOptimize(text.data());
            bytes += f.size();
        }
        fragments += w.fragments.size();
    }
    state.counters["fragments_per_s"] =
        benchmark::Counter(static_cast<double>(fragments), benchmark::Counter::kIsRate);
    state.counters["fragments"] = static_cast<double>(w.fragments.size());
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
void BM_FilterFragments(benchmark::State& state) {
    FilterFragments(state, nullptr);
}
BENCHMARK(BM_FilterFragments)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_FilterFragmentsWithMap(benchmark::State& state) {
    FilterMap map;
    FilterFragments(state, &map);
}
BENCHMARK(BM_FilterFragmentsWithMap)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The first fragment of a reading: reads the dictionary and builds the table.
void BM_FirstFragment(benchmark::State& state) {
    Workload& w = Work();
    size_t memory = 0;
    for (auto _ : state) {
        PronunciationFilter filter(w.programDir);
        std::string text = w.fragments.front();
        filter.Filter(text, false, false, kSelection, "");
        benchmark::DoNotOptimize(text.data());
        memory = filter.DicPrepare(kSelection)->MemoryBytes();
    }
    state.counters["table_MB"] = static_cast<double>(memory) / (1024.0 * 1024.0);
    state.counters["dic_lines"] = static_cast<double>(kDicLines);
}
BENCHMARK(BM_FirstFragment)->Unit(benchmark::kMillisecond);

// For comparison: the table rebuilt for every fragment (what reusing it saves).
void BM_FragmentRebuildingTable(benchmark::State& state) {
    Workload& w = Work();
    size_t i = 0;
    for (auto _ : state) {
        std::vector<std::string> lines;
        LoadDictionaries(lines, kSelection, ".dic", w.programDir);
        auto table = BuildPronunciationTable(lines);
        std::string text = w.fragments[i++ % w.fragments.size()];
        WordList list = TextToWordList(text);
        for (size_t j = 0; j < list.size(); ++j)
            if (!list[j].empty() && !IsLineMarker(list[j]))
                CheckWord(table->entries, list, j, list.size());
        text = JoinList(list, false, false, table->tags);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_FragmentRebuildingTable)->Unit(benchmark::kMillisecond);

// Reusing the table must not change a single byte of the result.
void CheckReuseGivesSameText() {
    Workload& w = Work();
    PronunciationFilter reused(w.programDir);
    for (size_t i = 0; i < w.fragments.size(); i += 37) {
        std::string a = w.fragments[i], b = w.fragments[i];
        reused.Filter(a, false, false, kSelection, "");
        PronunciationFilter fresh(w.programDir);
        fresh.Filter(b, false, false, kSelection, "");
        if (a != b) {
            std::fprintf(stderr, "fragment %zu differs with a reused table\n", i);
            std::exit(1);
        }
    }
    std::printf("book: %zu bytes in %zu fragments; dictionary: %zu lines\n", w.bookBytes,
                w.fragments.size(), kDicLines);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CheckReuseGivesSameText();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(Work().programDir, ec);
    return 0;
}
