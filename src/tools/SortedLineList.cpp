#include "tools/SortedLineList.h"

#include "textprep/StringRoutines.h"

namespace vocalix::tools {
namespace {

// Sort weight of a byte: the lower-case letter's code doubled, with "ё" placed between "е"
// and "ж" (its code would put it before every Cyrillic letter).
unsigned Weight(char c) {
    const auto lower = static_cast<unsigned char>(textprep::LowerChar(c));
    if (lower == 0xB8) // ё
        return 0xE5u * 2 + 1;
    return lower * 2u;
}

} // namespace

SortedLineList::SortedLineList(bool ignoreCase)
    : m_ignoreCase(ignoreCase), m_lines(Less{ignoreCase}) {}

int SortedLineList::Compare(std::string_view a, std::string_view b, bool ignoreCase) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned wa = Weight(a[i]);
        const unsigned wb = Weight(b[i]);
        if (wa != wb)
            return wa < wb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    if (ignoreCase)
        return 0;
    // Same letters in another case: a stable order still keeps both.
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return 0;
}

bool SortedLineList::Add(std::string_view line) {
    return m_lines.emplace(line).second;
}

void SortedLineList::AddLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        m_lines.insert(line);
}

bool SortedLineList::Contains(std::string_view line) const {
    return m_lines.find(std::string(line)) != m_lines.end();
}

std::vector<std::string> SortedLineList::Lines() const {
    return {m_lines.begin(), m_lines.end()};
}

std::string SortedLineList::Text() const {
    size_t size = 0;
    for (const std::string& line : m_lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : m_lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace vocalix::tools
