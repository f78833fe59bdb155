#include "shell/Bookmarks.h"

#include <charconv>

namespace vocalix::shell {
namespace {

constexpr const char* kMarker = "_#_";
constexpr size_t kExcerptLength = 115;
constexpr size_t kPositionDigits = 12;

std::string Padded(long long value, size_t width) {
    std::string s = std::to_string(value);
    if (s.size() < width)
        s.insert(0, width - s.size(), '0');
    return s;
}

std::string PositionText(const std::string& entry) {
    const size_t marker = entry.find(kMarker);
    if (marker == std::string::npos)
        return "0";
    return entry.substr(marker + 3, kPositionDigits);
}

} // namespace

std::string AddBookmark(const std::string& bookmarks, int position) {
    if (bookmarks.empty())
        return std::to_string(position);
    return bookmarks + "|" + std::to_string(position);
}

std::vector<int> ParseBookmarks(const std::string& bookmarks) {
    std::vector<int> positions;
    size_t pos = 0;
    while (pos <= bookmarks.size() && !bookmarks.empty()) {
        size_t end = bookmarks.find('|', pos);
        if (end == std::string::npos)
            end = bookmarks.size();
        const char* first = bookmarks.data() + pos;
        const char* last = bookmarks.data() + end;
        int value = 0;
        const auto [ptr, ec] = std::from_chars(first, last, value);
        if (first != last && ec == std::errc() && ptr == last && value >= 0)
            positions.push_back(value);
        pos = end + 1;
    }
    return positions;
}

std::string BookmarkEntry(int number, int position, const std::string& text) {
    long long percent = text.empty() ? 0 : 100LL * position / static_cast<long long>(text.size());
    if (percent == 0)
        percent = 1;
    const size_t start = position > 0 ? static_cast<size_t>(position) - 1 : 0;
    std::string excerpt = start < text.size() ? text.substr(start, kExcerptLength) : std::string();
    for (char& c : excerpt)
        if (c == '\r' || c == '\n')
            c = ' ';
    return Padded(number, 3) + "  (" + Padded(percent, 2) + ")  " + excerpt +
           std::string(200, ' ') + kMarker + std::to_string(position);
}

int BookmarkEntryPosition(const std::string& entry) {
    const std::string digits = PositionText(entry);
    int value = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return ec == std::errc() && value >= 0 ? value : 0;
}

std::string BookmarksFromEntries(const std::vector<std::string>& entries) {
    std::string joined;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i > 0)
            joined += '|';
        joined += PositionText(entries[i]);
    }
    return joined;
}

} // namespace vocalix::shell
