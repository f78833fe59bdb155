#include "shell/RecentFiles.h"

#include "base/Cp1251.h"

#include <algorithm>

namespace vocalix::shell {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        pos = end + 1;
    }
    return lines;
}

bool IsBlank(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
    });
}

} // namespace

const std::string& RecentFiles::ClearCaption() {
    static const std::string caption = base::Cp("ОЧИСТИТЬ СПИСОК");
    return caption;
}

void RecentFiles::Load(const std::string& recText,
                       const std::function<bool(const std::string&)>& exists) {
    m_entries.clear();
    m_hasClearItem = false;
    for (const std::string& line : Lines(recText)) {
        if (static_cast<int>(m_entries.size()) >= kMaxLoaded)
            break;
        if (IsBlank(line))
            continue;
        if (exists(line)) {
            m_entries.push_back(line);
            continue;
        }
        const size_t amp = line.find('&');
        if (amp != std::string::npos) {
            std::string plain = line;
            plain.erase(amp, 1);
            if (exists(plain))
                m_entries.push_back(plain);
        }
    }
    m_hasClearItem = !m_entries.empty();
}

void RecentFiles::Change(const std::string& fileName) {
    if (fileName.empty())
        return;
    const auto matched = std::stable_partition(m_entries.begin(), m_entries.end(),
                                               [&](const std::string& e) { return e == fileName; });
    if (matched == m_entries.begin()) {
        if (ItemCount() >= kMaxItems && !m_entries.empty())
            m_entries.pop_back();
        m_entries.insert(m_entries.begin(), fileName);
    }
    if (ItemCount() == 1)
        m_hasClearItem = true;
}

void RecentFiles::Remove(const std::string& fileName) {
    if (ItemCount() < 3)
        return;
    const auto it = std::find(m_entries.begin(), m_entries.end(), fileName);
    if (it != m_entries.end())
        m_entries.erase(it);
}

void RecentFiles::Clear() {
    m_entries.clear();
    m_hasClearItem = false;
}

std::string RecentFiles::SaveText() const {
    std::string text;
    if (ItemCount() < 3)
        return text;
    for (const std::string& e : m_entries)
        text += e + "\r\n";
    return text;
}

int RecentFiles::ItemCount() const {
    return static_cast<int>(m_entries.size()) + (m_hasClearItem ? 2 : 0);
}

} // namespace vocalix::shell
