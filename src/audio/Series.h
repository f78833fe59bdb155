#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Cutting a long text into numbered part files, preferably at chapter headings.
namespace vocalix::audio {

// Whether a line opens a chapter ("Глава 5", "CHAPTER TWELVE", "XIV. ВОЗВРАЩЕНИЕ", or any line
// the author marked with a leading "!"); always false when `sensitive` is off.
bool IsChapterHeading(std::string_view line, bool sensitive);

struct SeriesSettings {
    int bytesInBlock = 32768;
    bool chapHeadSensitive = true;
    bool header = false;
};

struct SeriesResult {
    std::vector<std::filesystem::path> parts; // full paths, in order
    std::filesystem::path folder;             // where the parts went (empty when none)
    std::string error;                        // Windows-1251; non-empty: nothing was cut
};

// The folder a series of `base` goes into: beside it, named like it with its extension
// replaced by `folderExt` ("" for the series command, ".audio" for recording in parts).
std::filesystem::path SeriesFolder(const std::filesystem::path& base, const std::string& folderExt);

// Whether a file name is one that a series of `base` writes: a numbered part text or the
// audio made from it ("0003_Book.txt", "0003_Book.mp3").
bool IsSeriesFileName(const std::string& name, const std::filesystem::path& base);

// Cuts `text` (Windows-1251, CR LF) into part files named "0001_" + base's file name inside
// SeriesFolder(base, folderExt). Nothing is cut when the text is no longer than BytesInBlock.
// An existing folder of that name is replaced only when it holds nothing but the files of an
// earlier series of the same text; otherwise the error says so and nothing is touched.
// `progress` gets (line index, line count) and may process pending window events.
SeriesResult MakeSeries(const std::string& text, const std::filesystem::path& base,
                        const std::string& folderExt, const SeriesSettings& settings,
                        const std::function<void(int, int)>& progress = {});

} // namespace vocalix::audio
