// The ".dic" and ".ini" loaders as the filters use them: a pronunciation dictionary and a
// rule file with arbitrary bytes are put into a program folder and a text is read through
// both filters. The files are read from disk, so line splitting, the chunked reader and the
// rule cache all run as they do in the program.
#include "base/AtomicFile.h"
#include "textprep/CorrectionRules.h"
#include "textprep/Dictionaries.h"
#include "textprep/PronunciationFilter.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vocalix::textprep;

namespace {

// One program folder per fuzzing process, removed at exit.
struct ProgramFolder {
    fs::path dir;
    ProgramFolder() {
        dir = fs::temp_directory_path() / ("vocalix-dicfuzz-" + std::to_string(getpid()));
        fs::create_directories(dir / "dic");
    }
    ~ProgramFolder() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

void Put(const fs::path& file, const std::string& bytes) {
    if (!vocalix::base::WriteFileAtomic(file, bytes))
        std::abort();
}

// The longest text the filters are given: the fuzzing runs' largest input.
constexpr size_t kLargestText = 1024;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ProgramFolder folder;
    FuzzedDataProvider in(data, size);
    const bool keepLineBreaks = in.ConsumeBool();
    const bool ignoreStyleRules = in.ConsumeBool();
    const std::string dic = in.ConsumeRandomLengthString();
    const std::string ini = in.ConsumeRandomLengthString();
    const std::string text = in.ConsumeRemainingBytesAsString();

    std::vector<std::string> lines;
    SplitDictionaryLines(dic, lines);
    for (const std::string& line : lines)
        (void)ParseDicLine(line);
    lines.clear();
    SplitDictionaryLines(ini, lines);
    for (const std::string& line : lines)
        (void)ParseRule(line);

    Put(folder.dir / "dic" / "a.dic", dic);
    Put(folder.dir / "dic" / "a.ini", ini);
    const std::string selection = "a.dic+a.ini";
    // The file reader gives the lines the in-memory splitter gives.
    for (const char* extension : {".dic", ".ini"}) {
        std::vector<std::string> read;
        ForEachDictionaryLine(selection, extension, folder.dir,
                              [&read](std::string_view l) { read.emplace_back(l); });
        lines.clear();
        SplitDictionaryLines(extension == std::string_view(".dic") ? dic : ini, lines);
        if (read != lines)
            std::abort();
    }

    RulesSettings settings{folder.dir, selection, "page.txt"};
    std::string ruled = text;
    try {
        RexFilter(ruled, settings);
        // Rules may multiply the text (one doubles every letter, the next doubles it again):
        // fuzzed rule files made texts of megabytes, and a second or more of key lookups in
        // the pronunciation filter, from a few hundred input bytes. The filter reads what an
        // input of the largest size would give it.
        if (ruled.size() > kLargestText)
            ruled.resize(kLargestText);
        PronunciationFilter filter(folder.dir);
        if (!filter.Filter(ruled, keepLineBreaks, ignoreStyleRules, selection, "page.txt"))
            std::abort(); // the selection names a ".dic": the filter must run
    } catch (const MemoryExhausted&) {
    }
    return 0;
}
