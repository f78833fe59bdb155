#include "textprep/Dictionaries.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "textprep/StringRoutines.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vocalix::textprep {

namespace fs = std::filesystem;

fs::path DictionaryFolder(const fs::path& programDir) {
    return programDir / "dic";
}

std::string LowerExtension(std::string_view name) {
    const size_t slash = name.find_last_of("/\\");
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return LowerCase(name.substr(dot));
}

bool IsDictionaryFile(std::string_view name) {
    const std::string ext = LowerExtension(name);
    return ext == kPronunciationExtension || ext == kRulesExtension;
}

bool IsPlainDictionaryName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string_view::npos;
}

std::vector<std::string> ListDictionaryFiles(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        // File names on disk are UTF-8; the program keeps them in Windows-1251.
        const std::string name = base::Utf8ToCp1251(it->path().filename().string());
        if (IsDictionaryFile(name))
            names.push_back(name);
    }
    return names;
}

void SplitDictionaryLines(std::string_view bytes, std::vector<std::string>& lines) {
    const size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos)
        bytes = bytes.substr(0, nul);
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
}

void LoadDictionaries(std::vector<std::string>& lines, std::string_view selection,
                      std::string_view extension, const fs::path& programDir) {
    lines.clear();
    ForEachDictionaryLine(selection, extension, programDir,
                          [&lines](std::string_view line) { lines.emplace_back(line); });
}

namespace {

// Line ends as SplitDictionaryLines sees them, across the pieces of a file read in turn.
class LineSplitter {
public:
    explicit LineSplitter(const std::function<void(std::string_view)>& line) : m_line(line) {}
    // False once a NUL has ended the readable text.
    bool Feed(std::string_view piece) {
        const size_t nul = piece.find('\0');
        const bool more = nul == std::string_view::npos;
        if (!more)
            piece = piece.substr(0, nul);
        size_t pos = 0;
        if (m_skipLf && !piece.empty()) {
            if (piece[0] == '\n')
                pos = 1;
            m_skipLf = false;
        }
        while (pos < piece.size()) {
            size_t end = pos; // find_first_of would call memchr for every byte
            while (end < piece.size() && piece[end] != '\r' && piece[end] != '\n')
                ++end;
            if (end == piece.size()) {
                m_carry.append(piece.substr(pos));
                break;
            }
            Emit(piece.substr(pos, end - pos));
            pos = end + 1;
            if (piece[end] == '\r') {
                if (pos < piece.size()) {
                    if (piece[pos] == '\n')
                        ++pos;
                } else {
                    m_skipLf = true;
                }
            }
        }
        return more;
    }
    void End() {
        if (!m_carry.empty())
            Emit({});
    }
    size_t Count() const { return m_count; }

private:
    void Emit(std::string_view tail) {
        ++m_count;
        if (m_carry.empty()) {
            m_line(tail);
            return;
        }
        m_carry.append(tail);
        m_line(m_carry);
        m_carry.clear();
    }
    const std::function<void(std::string_view)>& m_line;
    std::string m_carry;
    bool m_skipLf = false;
    size_t m_count = 0;
};

} // namespace

size_t ForEachDictionaryLine(std::string_view selection, std::string_view extension,
                             const fs::path& programDir,
                             const std::function<void(std::string_view)>& line) {
    const fs::path folder = DictionaryFolder(programDir);
    size_t count = 0;
    // Read a piece of up to 1 MB at a time; a small file gets a buffer of its own size, as
    // filling a megabyte for every rule file of a few lines cost more than reading it.
    constexpr size_t kPiece = 1 << 20;
    std::unique_ptr<char[]> buffer;
    size_t bufferSize = 0;
    for (const std::string& name : SplitBy(selection, '+')) {
        if (LowerExtension(name) != extension || !IsPlainDictionaryName(name))
            continue;
        const fs::path path = folder / base::Cp1251ToUtf8(name);
        std::error_code ec;
        if (!fs::is_regular_file(path, ec))
            continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            throw std::runtime_error("cannot open " + path.string() + ": " + std::strerror(errno));
        struct stat info {};
        const size_t want = ::fstat(fd, &info) == 0 && info.st_size >= 0
                                ? std::min(kPiece, static_cast<size_t>(info.st_size) + 1)
                                : kPiece;
        if (want > bufferSize) {
            buffer = std::make_unique_for_overwrite<char[]>(want);
            bufferSize = want;
        }
        LineSplitter file(line);
        for (;;) {
            const ssize_t n = ::read(fd, buffer.get(), bufferSize);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                const int error = errno;
                ::close(fd);
                throw std::runtime_error("cannot read " + path.string() + ": " +
                                         std::strerror(error));
            }
            if (n == 0 || !file.Feed(std::string_view(buffer.get(), static_cast<size_t>(n))))
                break;
        }
        ::close(fd);
        file.End();
        count += file.Count();
    }
    return count;
}

std::vector<DictionaryFileStamp> StampDictionaries(std::string_view selection,
                                                   std::string_view extension,
                                                   const fs::path& programDir) {
    std::vector<DictionaryFileStamp> stamps;
    const fs::path folder = DictionaryFolder(programDir);
    for (const std::string& name : SplitBy(selection, '+')) {
        if (LowerExtension(name) != extension || !IsPlainDictionaryName(name))
            continue;
        DictionaryFileStamp stamp;
        stamp.name = (folder / base::Cp1251ToUtf8(name)).string();
        std::error_code ec;
        if (fs::is_regular_file(stamp.name, ec)) {
            stamp.exists = true;
            stamp.size = fs::file_size(stamp.name, ec);
            stamp.modified = fs::last_write_time(stamp.name, ec);
        }
        stamps.push_back(std::move(stamp));
    }
    return stamps;
}

std::optional<DicLine> ParseDicLine(std::string_view line) {
    if (line.empty())
        return std::nullopt;
    const bool hashFirst = line[0] == '#';
    if (hashFirst && line.find("##") == std::string_view::npos)
        return std::nullopt; // a comment
    const std::string_view left = NameOf(line);
    if (left.empty())
        return std::nullopt;
    std::string key(KeyOf(left, ' '));
    std::string entry(line);
    if (hashFirst) {
        // "##=..." is how the "#" character itself is given a pronunciation.
        entry.erase(0, 1);
        key.erase(0, 1);
    }
    if (entry.size() >= 2 && entry[0] == '*' && entry[1] == ' ') {
        const size_t eq = entry.find('=');
        if (TrimControls(std::string_view(entry).substr(1, eq - 1)).empty())
            return std::nullopt;
    }
    if (!entry.empty() && entry[0] != '$' && entry[0] != '_') {
        const size_t eq = entry.find('=');
        const size_t upto = eq == std::string::npos ? entry.size() : eq + 1;
        for (size_t i = 0; i < upto; ++i)
            entry[i] = LowerChar(entry[i]);
        key = LowerCase(key);
    }
    if (entry.size() > 2 && entry[0] == '*' && entry[1] == '*') {
        entry.erase(0, 1);
        const size_t eq = entry.find('=');
        if (eq != std::string::npos && eq >= 2 && entry[eq - 1] == '*' && entry[eq - 2] == '*')
            entry.erase(eq - 2, 1);
    }
    return DicLine{std::move(key), std::move(entry)};
}

std::optional<RuleLine> ParseRuleLine(std::string_view line) {
    if (line.empty())
        return std::nullopt;
    const std::string_view expression = NameOf(line);
    if (expression.empty() || expression[0] == '#')
        return std::nullopt;
    RuleLine rule;
    rule.matchCase = expression[0] == '@';
    rule.expression = std::string(rule.matchCase ? expression.substr(1) : expression);
    rule.replacement = std::string(ValueOf(line));
    return rule;
}

} // namespace vocalix::textprep
