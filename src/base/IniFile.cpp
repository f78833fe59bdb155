#include "base/IniFile.h"

#include "base/AtomicFile.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <optional>

namespace vocalix::base {
namespace {

unsigned char FoldCase(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0)
        return static_cast<unsigned char>(c - 32); // а..я -> А..Я
    if (c == 0xB8)
        return 0xA8; // ё -> Ё
    return c;
}

std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

} // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(static_cast<unsigned char>(a[i])) !=
            FoldCase(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

namespace {

uint64_t NoCaseHash(std::string_view s) {
    uint64_t h = 14695981039346656037ull; // FNV-1a over the folded bytes
    for (const char c : s)
        h = (h ^ FoldCase(static_cast<unsigned char>(c))) * 1099511628211ull;
    return h;
}

} // namespace

template <class NameAt>
size_t IniFile::NameIndex::Find(std::string_view name, NameAt&& nameAt) const {
    const uint64_t h = NoCaseHash(name);
    for (auto it =
             std::lower_bound(byHash.begin(), byHash.end(), std::pair<uint64_t, uint32_t>(h, 0));
         it != byHash.end() && it->first == h; ++it)
        if (EqualsNoCase(nameAt(it->second), name))
            return it->second;
    return std::string_view::npos;
}

void IniFile::NameIndex::Add(std::string_view name, size_t position) {
    const std::pair<uint64_t, uint32_t> slot(NoCaseHash(name), static_cast<uint32_t>(position));
    byHash.insert(std::upper_bound(byHash.begin(), byHash.end(), slot), slot);
}

IniFile::Entry* IniFile::Section::Find(std::string_view key) {
    const size_t at =
        index.Find(key, [this](size_t i) -> std::string_view { return entries[i].key; });
    return at == std::string_view::npos ? nullptr : &entries[at];
}

const IniFile::Entry* IniFile::Section::Find(std::string_view key) const {
    const size_t at =
        index.Find(key, [this](size_t i) -> std::string_view { return entries[i].key; });
    return at == std::string_view::npos ? nullptr : &entries[at];
}

void IniFile::Section::Add(std::string_view key, std::string_view value) {
    index.Add(key, entries.size());
    entries.push_back({std::string(key), std::string(value)});
}

void IniFile::Section::Reindex() {
    index.byHash.clear();
    for (size_t i = 0; i < entries.size(); ++i)
        index.Add(entries[i].key, i);
}

void IniFile::Parse(std::string_view text) {
    m_sections.clear();
    m_sectionIndex.byHash.clear();
    Section* current = nullptr;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++pos;
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            if (close == std::string_view::npos)
                continue;
            const std::string_view name = Trim(line.substr(1, close - 1));
            current = FindSection(name);
            if (!current)
                current = &AddSection(name);
            continue;
        }
        const size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos)
            continue;
        const std::string_view key = Trim(line.substr(0, eq));
        if (key.empty())
            continue;
        // The first occurrence wins, as a reader of such files expects.
        if (!current->Find(key))
            current->Add(key, Trim(line.substr(eq + 1)));
    }
}

std::string IniFile::Serialize() const {
    std::string out;
    for (const auto& s : m_sections) {
        out += '[';
        out += s.name;
        out += "]\r\n";
        for (const auto& e : s.entries) {
            out += e.key;
            out += '=';
            out += e.value;
            out += "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

bool IniFile::Load(const std::filesystem::path& file) {
    std::string bytes;
    if (!ReadFileBytes(file, bytes)) {
        m_sections.clear();
        m_sectionIndex.byHash.clear();
        return false;
    }
    Parse(bytes);
    return true;
}

bool IniFile::Save(const std::filesystem::path& file, std::string* error) const {
    return WriteFileAtomic(file, Serialize(), error);
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    const size_t at = m_sectionIndex.Find(
        name, [this](size_t i) -> std::string_view { return m_sections[i].name; });
    return at == std::string_view::npos ? nullptr : &m_sections[at];
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
    const size_t at = m_sectionIndex.Find(
        name, [this](size_t i) -> std::string_view { return m_sections[i].name; });
    return at == std::string_view::npos ? nullptr : &m_sections[at];
}

IniFile::Section& IniFile::AddSection(std::string_view name) {
    m_sectionIndex.Add(name, m_sections.size());
    m_sections.push_back({std::string(name), {}, {}});
    return m_sections.back();
}

void IniFile::ReindexSections() {
    m_sectionIndex.byHash.clear();
    for (size_t i = 0; i < m_sections.size(); ++i)
        m_sectionIndex.Add(m_sections[i].name, i);
}

const IniFile::Entry* IniFile::FindEntry(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    return s ? s->Find(key) : nullptr;
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
    return FindEntry(section, key) != nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    const Entry* e = FindEntry(section, key);
    return e ? e->value : std::string(def);
}

namespace {

// A decimal 32-bit integer with an optional sign and blanks around it; nullopt otherwise.
std::optional<int> ParseInteger(std::string_view v) {
    v = Trim(v);
    if (!v.empty() && v.front() == '+')
        v.remove_prefix(1);
    if (v.empty())
        return std::nullopt;
    long long value = 0;
    const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (ec != std::errc() || ptr != v.data() + v.size() || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const Entry* e = FindEntry(section, key);
    const std::optional<int> value = e ? ParseInteger(e->value) : std::nullopt;
    return value ? *value : def;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    const Entry* e = FindEntry(section, key);
    const std::optional<int> value = e ? ParseInteger(e->value) : std::nullopt;
    return value ? *value != 0 : def;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section* s = FindSection(section);
    if (!s)
        s = &AddSection(section);
    if (Entry* e = s->Find(key))
        e->value = std::string(value);
    else
        s->Add(key, value);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, long long value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::EraseKey(std::string_view section, std::string_view key) {
    Section* s = FindSection(section);
    if (!s)
        return;
    if (std::erase_if(s->entries, [&](const Entry& e) { return EqualsNoCase(e.key, key); }))
        s->Reindex();
}

void IniFile::EraseSection(std::string_view section) {
    if (std::erase_if(m_sections, [&](const Section& s) { return EqualsNoCase(s.name, section); }))
        ReindexSections();
}

std::vector<std::string> IniFile::Sections() const {
    std::vector<std::string> names;
    for (const auto& s : m_sections)
        names.push_back(s.name);
    return names;
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = FindSection(section))
        for (const auto& e : s->entries)
            keys.push_back(e.key);
    return keys;
}

} // namespace vocalix::base
