#include "audio/Series.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "textprep/StringRoutines.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace vocalix::audio {
namespace fs = std::filesystem;

namespace {

bool IsHeadingTailChar(unsigned char c) {
    return (c >= 32 && c <= 34) || (c >= 44 && c <= 46) || (c >= 48 && c <= 57) || c == 63 ||
           (c >= 65 && c <= 90) || c == 168 || (c >= 192 && c <= 223);
}

// The lines of a text as the editor lists them: a final line break opens no further line.
std::vector<std::string_view> PageLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        lines.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

} // namespace

bool IsChapterHeading(std::string_view line, bool sensitive) {
    if (!sensitive)
        return false;
    const std::string_view t = textprep::TrimControls(line);
    if (t.empty())
        return false;
    if (t.front() == '!')
        return true;
    const std::string_view tail = textprep::TrailingPunctuation(t);
    if (tail == "." || tail == ":" || tail == ";")
        return false;
    const std::string lower = textprep::LowerCase(t.substr(0, 8));
    if (lower.rfind(base::Cp("глава "), 0) == 0 && t.size() > 6 && t.size() < 40)
        return true;
    if (lower.rfind("chapter ", 0) == 0 && t.size() > 8 && t.size() < 40)
        return true;
    if (t.size() < 4)
        return false;
    const size_t d = t.find(". ");
    if (d == std::string_view::npos || d + 1 < 2) // position (1-based) below 2
        return false;
    for (size_t i = 0; i < d; ++i) {
        const char c = t[i];
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != 'I' && c != 'V' && c != 'X')
            return false;
    }
    for (size_t i = d + 2; i < t.size(); ++i)
        if (!IsHeadingTailChar(static_cast<unsigned char>(t[i])))
            return false;
    return true;
}

fs::path SeriesFolder(const fs::path& base, const std::string& folderExt) {
    return base.parent_path() / (base.stem().string() + folderExt);
}

bool IsSeriesFileName(const std::string& name, const fs::path& base) {
    if (name.size() < 5 ||
        !std::all_of(name.begin(), name.begin() + 4, [](char c) { return c >= '0' && c <= '9'; }) ||
        name[4] != '_')
        return false;
    const std::string rest = name.substr(5);
    const std::string stem = base.stem().string();
    if (rest == base.filename().string() || rest == stem)
        return true;
    if (rest.rfind(stem + ".", 0) != 0)
        return false;
    const std::string ext = rest.substr(stem.size());
    return ext == ".wav" || ext == ".mp3" || ext == ".ogg";
}

SeriesResult MakeSeries(const std::string& text, const fs::path& base, const std::string& folderExt,
                        const SeriesSettings& settings,
                        const std::function<void(int, int)>& progress) {
    SeriesResult result;
    const long long limit = settings.bytesInBlock < 1 ? 999999999LL : settings.bytesInBlock;
    if (static_cast<long long>(settings.bytesInBlock) >= static_cast<long long>(text.size()))
        return result;
    const std::string name = base::Utf8ToCp1251(base.stem().string());
    const fs::path folder = SeriesFolder(base, folderExt);

    // An earlier series of this text is replaced; anything else in a folder of that name (the
    // user's own folder named like the book, or the program's "dic" for a page whose first
    // line is "dic") is left alone.
    std::error_code ec;
    if (fs::exists(fs::symlink_status(folder, ec))) {
        const std::string shown = base::Utf8ToCp1251(folder.string());
        if (!fs::is_directory(fs::symlink_status(folder, ec))) {
            result.error = base::Cp("Не удалось создать папку сериала: на её месте уже есть "
                                    "файл ") +
                           shown;
            return result;
        }
        for (const auto& entry : fs::directory_iterator(folder, ec)) {
            if (!entry.is_regular_file(ec) || entry.is_symlink(ec) ||
                !IsSeriesFileName(entry.path().filename().string(), base)) {
                result.error = base::Cp("Папка ") + shown +
                               base::Cp(" уже существует и содержит не только части сериала. "
                                        "Переименуйте или перенесите её и повторите попытку.");
                return result;
            }
        }
        if (ec) {
            result.error = base::Cp("Не удалось прочитать папку ") + shown;
            return result;
        }
        fs::remove_all(folder, ec);
        if (ec) {
            result.error = base::Cp("Не удалось удалить прежний сериал в папке ") + shown;
            return result;
        }
    }
    fs::create_directories(folder, ec);
    if (ec) {
        result.error =
            base::Cp("Не удалось создать папку сериала ") + base::Utf8ToCp1251(folder.string());
        return result;
    }
    result.folder = folder;

    const std::vector<std::string_view> lines = PageLines(text);
    const int count = static_cast<int>(lines.size());
    std::string buffer;
    if (settings.header)
        buffer = base::Cp("Текст \"") + name + base::Cp("\". Серия 1.\r\n\r\n");
    long long accumulated = 0;
    int bodyLines = 0; // lines of text in the buffer: a part is never written without any
    int number = 0;
    for (int i = 0; i < count; ++i) {
        const std::string_view line = lines[static_cast<size_t>(i)];
        const long long n = static_cast<long long>(line.size());
        const bool last = i == count - 1;
        bool cut = limit - n - 2 < accumulated || last;
        if (!cut)
            cut = IsChapterHeading(line, settings.chapHeadSensitive) && accumulated > 0;
        if (cut && !last && bodyLines == 0)
            cut = false;
        if (cut) {
            if (last) {
                buffer.append(line).append("\r\n");
                ++bodyLines;
            }
            ++number;
            char digits[16];
            std::snprintf(digits, sizeof digits, "%04d", number);
            const fs::path file = folder / (std::string(digits) + "_" + base.filename().string());
            if (!settings.header && !buffer.empty() && buffer.front() == '!')
                buffer.front() = ' ';
            else if (settings.header) {
                // The first line of the text proper follows the two header lines.
                const size_t first = buffer.find("\r\n\r\n");
                if (first != std::string::npos && first + 4 < buffer.size() &&
                    buffer[first + 4] == '!')
                    buffer[first + 4] = ' ';
            }
            std::string why;
            if (!base::WriteFileAtomic(file, buffer, &why)) {
                result.error = base::Cp("Не удалось записать часть сериала ") +
                               base::Utf8ToCp1251(file.string());
                return result;
            }
            buffer.clear();
            accumulated = 0;
            bodyLines = 0;
            if (settings.header)
                buffer = base::Cp("Продолжение текста \"") + name + base::Cp("\". Серия ") +
                         std::to_string(number + 1) + ".\r\n\r\n";
            if (!last) {
                buffer.append(line).append("\r\n");
                ++bodyLines;
            }
            result.parts.push_back(file);
        } else {
            buffer.append(line).append("\r\n");
            ++bodyLines;
            accumulated += n + 2;
        }
        if (progress)
            progress(i, count);
    }
    return result;
}

} // namespace vocalix::audio
