// Correction rules over a book, fragment by fragment as reading prepares it: 300 typical rules
// (abbreviations, numbers with units, typography, stressed words).
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "speech/SpeechEngine.h"
#include "textprep/CorrectionRules.h"
#include "textprep/PronunciationFilter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using vocalix::base::Cp;
namespace tp = vocalix::textprep;

namespace {

constexpr size_t kBookBytes = 1 << 20;
constexpr size_t kFragmentBytes = 4096;

std::vector<std::string> TypicalRules() {
    std::vector<std::string> rules;
    const char* abbreviations[][2] = {
        {"т\\.\\s?е\\.", "то есть"},
        {"т\\.\\s?к\\.", "так как"},
        {"т\\.\\s?д\\.", "так далее"},
        {"т\\.\\s?п\\.", "тому подобное"},
        {"и\\.\\s?о\\.", "исполняющий обязанности"},
        {"г-н", "господин"},
        {"г-жа", "госпожа"},
        {"ул\\.", "улица"},
        {"пр\\.", "прочее"},
        {"см\\.", "смотри"},
        {"стр\\.", "страница"},
        {"руб\\.", "рублей"},
        {"коп\\.", "копеек"},
        {"тыс\\.", "тысяч"},
        {"млн\\.?", "миллионов"},
        {"млрд\\.?", "миллиардов"},
        {"в\\.\\s?в\\.", "высокоблагородие"},
        {"гл\\.", "глава"},
        {"им\\.", "имени"},
        {"обл\\.", "область"},
        {"р-н", "район"},
        {"св\\.", "святой"},
        {"проф\\.", "профессор"},
        {"акад\\.", "академик"},
        {"доц\\.", "доцент"},
        {"напр\\.", "например"},
        {"др\\.", "другие"},
        {"ок\\.", "около"},
        {"ст\\.", "станция"},
        {"кн\\.", "князь"},
    };
    for (const auto& a : abbreviations) {
        rules.push_back(std::string("\\b") + a[0] + "(?=\\s|$)=" + a[1]);
        rules.push_back(std::string("@\\b") + a[0] + "\\s*\\r\\n=" + a[1] + "\\r\\n");
    }
    const char* units[][2] = {
        {"км", "километров"},
        {"м", "метров"},
        {"см", "сантиметров"},
        {"мм", "миллиметров"},
        {"кг", "килограммов"},
        {"г", "граммов"},
        {"т", "тонн"},
        {"л", "литров"},
        {"мл", "миллилитров"},
        {"ч", "часов"},
        {"мин", "минут"},
        {"сек", "секунд"},
        {"руб", "рублей"},
        {"коп", "копеек"},
        {"долл", "долларов"},
        {"в", "вольт"},
        {"вт", "ватт"},
        {"квт", "киловатт"},
        {"гц", "герц"},
        {"мб", "мегабайт"},
        {"гб", "гигабайт"},
        {"кб", "килобайт"},
        {"га", "гектаров"},
        {"ц", "центнеров"},
        {"дм", "дециметров"},
        {"мг", "миллиграммов"},
        {"атм", "атмосфер"},
        {"об", "оборотов"},
        {"км/ч", "километров в час"},
        {"м/с", "метров в секунду"},
        {"шт", "штук"},
        {"пуд", "пудов"},
        {"верст", "вёрст"},
        {"арш", "аршин"},
        {"саж", "сажен"},
        {"фунт", "фунтов"},
        {"лот", "лотов"},
        {"дес", "десятин"},
        {"вед", "вёдер"},
        {"град", "градусов"},
    };
    for (const auto& u : units) {
        rules.push_back(std::string("(\\d+)\\s?") + u[0] + "\\.?(?=\\s|$|[,;])=$1 " + u[1]);
        rules.push_back(std::string("(\\d+),(\\d+)\\s?") + u[0] + "\\b=$1 целых $2 " + u[1]);
        rules.push_back(std::string("(\\d+)-(\\d+)\\s?") + u[0] + "\\b=от $1 до $2 " + u[1]);
    }
    const char* typography[] = {
        "\\.\\.\\.=…",
        "«\\s+=«",
        "\\s+»=»",
        "\\s+([,.;:!?])=$1",
        "([,;:])(?=\\w)=$1 ",
        "--=—",
        "(\\d)\\s(\\d{3})\\b=$1$2",
        "\\s{2,}= ",
        "№\\s?(\\d+)=номер $1",
        "§\\s?(\\d+)=параграф $1",
        "(\\d+)%=$1 процентов",
        "\\+(\\d+)=плюс $1",
        "(\\w)-\\r\\n(\\w)=$1$2",
        "\\bXIX\\b=девятнадцатый",
        "\\bXVIII\\b=восемнадцатый",
        "\\bXX\\b=двадцатый",
        "^\\s*\\*\\s*\\*\\s*\\*\\s*$=",
        "\\(\\s+=(",
        "\\s+\\)=)",
        "'=",
    };
    for (const char* t : typography)
        rules.push_back(t);
    // Stress marks for frequent words make up the rest, as in a reading dictionary.
    const char* words[] = {"замок",  "мука",      "атлас",  "белки",  "ирис",
                           "кружки", "орган",     "парить", "плачу",  "стрелки",
                           "хлопок", "character", "уже",    "сорока", "трусы",
                           "полки",  "пропасть",  "духи",   "жаркое", "засыпать"};
    for (int i = 0; static_cast<int>(rules.size()) < 300; ++i) {
        const std::string w = words[i % 20];
        rules.push_back("\\b" + w + (i >= 20 ? "(" + std::to_string(i) + ")?" : "") + "\\b=" + w +
                        "'");
    }
    for (auto& r : rules)
        r = Cp(r); // written in UTF-8 above
    return rules;
}

class RulesFixture {
public:
    RulesFixture() {
        dir = fs::temp_directory_path() / ("vocalix-rules-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir / "dic");
        std::string body;
        for (const std::string& r : TypicalRules())
            body += r + "\r\n";
        vocalix::base::WriteFileAtomic(dir / "dic" / "bench.ini", body);
        settings.programDir = dir;
        settings.selection = "bench.ini";
        // A real stress dictionary of 66,000 lines for preparing fragments as reading does.
        std::error_code ec;
        fs::copy_file(fs::path(VOCALIX_CORPUS_DIR) / "dict/mueller7_stress.cp1251.dic",
                      dir / "dic" / "stress.dic", ec);
        haveDictionary = !ec;
        std::string book;
        ok = vocalix::base::ReadFileBytes(
            fs::path(VOCALIX_CORPUS_DIR) / "text/books/tolstoy_anna_karenina.cp1251.txt", book);
        book.resize(std::min(book.size(), kBookBytes));
        // Whole lines up to about 4096 characters, as reading cuts them.
        size_t start = 0;
        while (start < book.size()) {
            size_t end = start;
            while (end < book.size() && end - start < kFragmentBytes) {
                const size_t nl = book.find("\r\n", end);
                const size_t next = nl == std::string::npos ? book.size() : nl + 2;
                if (next - start > kFragmentBytes && end > start)
                    break;
                end = next;
            }
            fragments.push_back(book.substr(start, end - start));
            start = end;
        }
    }
    ~RulesFixture() { fs::remove_all(dir); }

    fs::path dir;
    tp::RulesSettings settings;
    std::vector<std::string> fragments;
    bool ok = false;
    bool haveDictionary = false;
};

RulesFixture& Fixture() {
    static RulesFixture f;
    return f;
}

void BM_RexFilterBook(benchmark::State& state) {
    RulesFixture& f = Fixture();
    if (!f.ok) {
        state.SkipWithError("corpus book not found");
        return;
    }
    size_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& fragment : f.fragments) {
            std::string text = fragment;
            tp::RexFilter(text, f.settings);
            benchmark::DoNotOptimize(text);
            bytes += fragment.size();
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.counters["fragments/s"] = benchmark::Counter(
        static_cast<double>(f.fragments.size() * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RexFilterBook)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_RexFilterOneFragment(benchmark::State& state) {
    RulesFixture& f = Fixture();
    if (!f.ok) {
        state.SkipWithError("corpus book not found");
        return;
    }
    const std::string& fragment = f.fragments[f.fragments.size() / 2];
    for (auto _ : state) {
        std::string text = fragment;
        tp::RexFilter(text, f.settings);
        benchmark::DoNotOptimize(text);
    }
    state.SetLabel(std::to_string(fragment.size()) + " characters");
}
BENCHMARK(BM_RexFilterOneFragment)->Unit(benchmark::kMillisecond);

// What reading does before speaking a fragment: the rules, then the pronunciation filter with
// a 66,000-line dictionary (its table is built once and reused while the file is unchanged).
void BM_PrepareFragmentRulesAndDictionary(benchmark::State& state) {
    RulesFixture& f = Fixture();
    if (!f.ok || !f.haveDictionary) {
        state.SkipWithError("corpus book or dictionary not found");
        return;
    }
    tp::RulesSettings settings = f.settings;
    settings.selection = "bench.ini+stress.dic";
    tp::PronunciationFilter filter(f.dir);
    const std::string& fragment = f.fragments[f.fragments.size() / 2];
    std::string warm = fragment;
    filter.Filter(warm, false, false, settings.selection, "");
    for (auto _ : state) {
        std::string text = fragment;
        tp::RexFilter(text, settings);
        filter.Filter(text, false, false, settings.selection, "");
        benchmark::DoNotOptimize(text);
    }
    // Speech runs at roughly 15 characters a second: the share of that time spent here.
    const double speakSeconds = static_cast<double>(fragment.size()) / 15.0;
    state.counters["speak_s"] = speakSeconds;
    state.SetLabel(std::to_string(fragment.size()) + " characters");
}
BENCHMARK(BM_PrepareFragmentRulesAndDictionary)->Unit(benchmark::kMillisecond);

// The same preparation beside the engine's synthesis of the prepared fragment, alternately in
// each iteration (eSpeak NG in this process, the Russian voice at normal rate). Counters:
// synth_ms (per fragment) and share_pct (preparation time over synthesis time, summed over
// the iterations). The table is built before the first iteration, as it is kept while reading.
void BM_PrepareBesideSynthesis(benchmark::State& state) {
    RulesFixture& f = Fixture();
    auto engine = vocalix::speech::DefaultEngine();
    if (!f.ok || !f.haveDictionary || !engine || !engine->Available()) {
        state.SkipWithError("corpus book, dictionary or speech engine not found");
        return;
    }
    tp::RulesSettings settings = f.settings;
    settings.selection = "bench.ini+stress.dic";
    tp::PronunciationFilter filter(f.dir);
    const std::string& fragment = f.fragments[f.fragments.size() / 2];
    std::string warm = fragment;
    filter.Filter(warm, false, false, settings.selection, "");
    vocalix::speech::SynthParams params;
    params.voiceId = "Russian";
    using Clock = std::chrono::steady_clock;
    double prepare = 0, synthesis = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        std::string text = fragment;
        tp::RexFilter(text, settings);
        filter.Filter(text, false, false, settings.selection, "");
        const auto prepared = Clock::now();
        std::vector<int16_t> samples;
        std::string error;
        if (!engine->SynthesizeAll(text, params, samples, nullptr, &error) || samples.empty()) {
            state.SkipWithError(("synthesis failed: " + error).c_str());
            return;
        }
        const auto done = Clock::now();
        const double p = std::chrono::duration<double>(prepared - start).count();
        state.SetIterationTime(p);
        prepare += p;
        synthesis += std::chrono::duration<double>(done - prepared).count();
    }
    state.counters["synth_ms"] = synthesis * 1000 / static_cast<double>(state.iterations());
    state.counters["share_pct"] = 100 * prepare / synthesis;
    state.SetLabel(std::to_string(fragment.size()) + " characters");
}
BENCHMARK(BM_PrepareBesideSynthesis)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
