// Cutting a text into a series: chapter headings on arbitrary lines, and the parts written
// into a temporary folder. Without the header option the parts put together must give back
// every line of the text (only a leading "!" of a part may become a space).
#include "audio/Series.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vocalix::audio;

namespace {

struct TempFolder {
    fs::path dir;
    TempFolder() {
        dir = fs::temp_directory_path() / ("vocalix-seriesfuzz-" + std::to_string(getpid()));
        fs::create_directories(dir);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

std::string ReadWhole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The text as the editor's lines, each followed by CR LF.
std::string EditorLines(const std::string& text) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        out.append(text, start, stop - start).append("\r\n");
        start = end + 1;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TempFolder temp;
    FuzzedDataProvider in(data, size);
    SeriesSettings settings;
    settings.bytesInBlock = in.ConsumeIntegralInRange<int>(-2, 600);
    settings.chapHeadSensitive = in.ConsumeBool();
    settings.header = in.ConsumeBool();
    const std::string text = in.ConsumeRemainingBytesAsString();

    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line(text.data() + start, end - start);
        if (IsChapterHeading(line, false))
            std::abort();
        (void)IsChapterHeading(line, true);
        start = end + 1;
    }

    const fs::path book = temp.dir / "Book.txt";
    const SeriesResult result = MakeSeries(text, book, "", settings);
    if (!result.error.empty())
        std::abort(); // the folder holds nothing but earlier parts, so cutting must work
    if (!result.parts.empty() && !settings.header) {
        std::string joined;
        std::vector<size_t> partStarts;
        for (const fs::path& part : result.parts) {
            partStarts.push_back(joined.size());
            joined += ReadWhole(part);
        }
        const std::string expected = EditorLines(text);
        if (joined.size() != expected.size())
            std::abort();
        size_t next = 0;
        for (size_t i = 0; i < joined.size(); ++i) {
            const bool partStart = next < partStarts.size() && partStarts[next] == i;
            while (next < partStarts.size() && partStarts[next] <= i)
                ++next;
            if (joined[i] != expected[i] && !(partStart && expected[i] == '!' && joined[i] == ' '))
                std::abort();
        }
    }
    return 0;
}
