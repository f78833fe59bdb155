#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vocalix::base {

// An INI text file in Windows-1251, held whole in memory. Section and key names match without
// regard to case (ASCII and Cyrillic); sections and keys keep the order of first appearance.
// Written back whole with CR LF line ends and one empty line after each section.
class IniFile {
public:
    IniFile() = default;

    // Parses INI text; lines that are neither a section header nor "key=value" are dropped.
    void Parse(std::string_view text);
    std::string Serialize() const;

    // Reads the file; a missing or unreadable file gives an empty INI (returns false).
    bool Load(const std::filesystem::path& file);
    // Writes the file atomically. Returns false (and fills *error) on failure.
    bool Save(const std::filesystem::path& file, std::string* error = nullptr) const;

    bool HasKey(std::string_view section, std::string_view key) const;
    // The value as written; `def` when the key is missing.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // Decimal integer (an optional sign, surrounding blanks allowed); `def` when missing,
    // empty or not a valid 32-bit integer.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    // Integer, non-zero meaning true; `def` when missing or invalid.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, long long value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    void EraseKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);
    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(std::string_view section) const;

private:
    // Positions in a vector by name, without regard to case: the program reads and writes a
    // few hundred keys, and a scan of every entry per key made each of those passes quadratic.
    // Held as (hash of the case-folded name, position) pairs in hash order; names of one hash
    // are told apart by comparing them.
    struct NameIndex {
        std::vector<std::pair<uint64_t, uint32_t>> byHash;
        // The position of the name (nameAt(position) gives the name there); npos if absent.
        template <class NameAt> size_t Find(std::string_view name, NameAt&& nameAt) const;
        void Add(std::string_view name, size_t position);
    };

    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        NameIndex index; // entries by key
        Entry* Find(std::string_view key);
        const Entry* Find(std::string_view key) const;
        void Add(std::string_view key, std::string_view value);
        void Reindex();
    };

    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);
    Section& AddSection(std::string_view name);
    const Entry* FindEntry(std::string_view section, std::string_view key) const;
    void ReindexSections();

    std::vector<Section> m_sections;
    NameIndex m_sectionIndex; // m_sections by name
};

// Windows-1251 case-insensitive equality (Latin and Cyrillic letters, Ё/ё).
bool EqualsNoCase(std::string_view a, std::string_view b);

} // namespace vocalix::base
