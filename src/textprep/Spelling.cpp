#include "textprep/Spelling.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "textprep/StringRoutines.h"
#include "textprep/WordList.h"

#include <algorithm>

namespace vocalix::textprep {
namespace {

constexpr size_t kFragmentLength = 5;

int FlagsValue(std::string_view entry) {
    const size_t space = entry.find(' ');
    if (space == std::string_view::npos || space + 1 >= entry.size())
        return 0;
    const char d = entry[space + 1];
    if (d >= '1' && d <= '9')
        return d - '0';
    if (d >= 'A' && d <= 'F')
        return d - 'A' + 10;
    return 0;
}

std::string DigitOf(int flags) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return flags == 0 ? std::string() : std::string(1, kDigits[flags & 15]);
}

// Lines of a file: CR LF, or a lone CR or LF, ends a line.
std::vector<std::string> FileLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

std::string LowerKey(std::string_view s) {
    return LowerCase(s);
}

} // namespace

std::string FlagsOfEntry(std::string_view entry) {
    const int flags = FlagsValue(entry);
    std::string out;
    for (int bit : {8, 4, 2, 1})
        out += (flags & bit) ? '1' : '0';
    return out;
}

std::string EntryOfFlags(std::string_view flags) {
    int value = 0;
    for (size_t i = 0; i < 4 && i < flags.size(); ++i)
        if (flags[i] == '1')
            value |= 8 >> i;
    return DigitOf(value);
}

std::string NormalizeSpellingWord(std::string_view word) {
    std::string w = LowerCase(word);
    std::replace(w.begin(), w.end(), '\xB8', '\xE5');
    return w;
}

SpellingRole RoleAt(size_t p, size_t n) {
    if (n == kFragmentLength)
        return kRoleWhole;
    if (p == 1)
        return kRoleStart;
    if (p + kFragmentLength - 1 == n)
        return kRoleEnd;
    return kRoleMiddle;
}

void SpellingTable::Load(const std::filesystem::path& file, size_t room) {
    std::string bytes;
    std::vector<std::string> lines;
    if (base::ReadFileBytes(file, bytes))
        lines = FileLines(bytes);
    const size_t n = HashTableSize(2 * lines.size() + room);
    m_slots.assign(n, std::string());
    for (const std::string& line : lines) {
        const HashFindResult r = HashFind(m_slots, KeyOf(line, ' '), n, '|');
        if (r.index >= 0)
            m_slots[static_cast<size_t>(r.index)] = line;
    }
}

bool SpellingTable::IsCorrect(std::string_view w) const {
    const size_t n = w.size();
    if (n < kFragmentLength)
        return HashFind(m_slots, w, m_slots.size(), ' ').found;
    for (size_t p = 1; p + kFragmentLength - 1 <= n; ++p) {
        const HashFindResult r =
            HashFind(m_slots, w.substr(p - 1, kFragmentLength), m_slots.size(), ' ');
        if (!r.found || !(FlagsValue(m_slots[static_cast<size_t>(r.index)]) & RoleAt(p, n)))
            return false;
    }
    return true;
}

bool SpellingTable::Add(std::string_view w) {
    const size_t n = w.size();
    if (n < kFragmentLength) {
        const HashFindResult r = HashFind(m_slots, w, m_slots.size(), ' ');
        if (r.found)
            return true;
        if (r.index < 0)
            return false;
        m_slots[static_cast<size_t>(r.index)] = std::string(w);
        return true;
    }
    for (size_t p = 1; p + kFragmentLength - 1 <= n; ++p) {
        const std::string g(w.substr(p - 1, kFragmentLength));
        const HashFindResult r = HashFind(m_slots, g, m_slots.size(), ' ');
        if (r.index < 0)
            return false;
        std::string& slot = m_slots[static_cast<size_t>(r.index)];
        const int flags = (r.found ? FlagsValue(slot) : 0) | RoleAt(p, n);
        slot = g + ' ' + DigitOf(flags);
    }
    return true;
}

void SpellingTable::Remove(std::string_view w) {
    const size_t n = w.size();
    if (n < kFragmentLength) {
        const HashFindResult r = HashFind(m_slots, w, m_slots.size(), ' ');
        if (r.found)
            m_slots[static_cast<size_t>(r.index)] = std::string(kTombstone);
        return;
    }
    for (size_t p = 1; p + kFragmentLength - 1 <= n; ++p) {
        const std::string g(w.substr(p - 1, kFragmentLength));
        const HashFindResult r = HashFind(m_slots, g, m_slots.size(), ' ');
        if (!r.found)
            continue;
        std::string& slot = m_slots[static_cast<size_t>(r.index)];
        const int flags = FlagsValue(slot) & ~RoleAt(p, n);
        slot = flags ? g + ' ' + DigitOf(flags) : std::string(kTombstone);
    }
}

std::string SpellingTable::Text() const {
    std::string out;
    for (const std::string& slot : m_slots) {
        if (slot.empty() || slot == kTombstone)
            continue;
        out += slot;
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> SpellCheckWords(const SpellingTable& table, std::string_view text) {
    std::string prepared(text);
    std::replace(prepared.begin(), prepared.end(), '-', ' ');
    std::vector<std::string> result; // kept sorted by lower-case form, one per form
    std::vector<std::string> keys;
    for (const std::string& element : TextToWordList(prepared)) {
        if (IsLineMarker(element) || element == "-" || element == "\x96")
            continue;
        const std::string_view core = WordCore(element);
        if (!IsCyrillicWord(core) || table.IsCorrect(NormalizeSpellingWord(core)))
            continue;
        const std::string key = LowerKey(core);
        const auto at = std::lower_bound(keys.begin(), keys.end(), key);
        if (at != keys.end() && *at == key)
            continue;
        result.insert(result.begin() + (at - keys.begin()), std::string(core));
        keys.insert(at, key);
    }
    return result;
}

namespace {

template <typename Change>
void ForEachAcceptedWord(std::string_view text, const SpellingProgress& progress, Change change) {
    const WordList list = TextToWordList(text);
    if (progress.setRange)
        progress.setRange(static_cast<long>(list.size()));
    for (size_t i = 0; i < list.size(); ++i) {
        // Tokens with punctuation or hyphens attached are not taken: only clean words.
        if (IsCyrillicWord(list[i]) && !change(NormalizeSpellingWord(list[i])))
            break;
        if (progress.setPosition)
            progress.setPosition(static_cast<long>(i));
    }
    if (progress.setRange)
        progress.setRange(0);
}

} // namespace

SpellingChange SpellAddWords(SpellingTable& table, std::string_view text,
                             const SpellingProgress& progress) {
    SpellingChange result;
    ForEachAcceptedWord(text, progress, [&](const std::string& w) {
        if (table.Add(w))
            return true;
        result.tableFull = true;
        return false;
    });
    return result;
}

void SpellRemoveWords(SpellingTable& table, std::string_view text,
                      const SpellingProgress& progress) {
    ForEachAcceptedWord(text, progress, [&](const std::string& w) {
        table.Remove(w);
        return true;
    });
}

std::string SpellingReportText(std::string_view fileName, const std::vector<std::string>& words) {
    std::string out = base::Cp("# Орфография в \"") + std::string(fileName) + "\"\r\n\r\n";
    if (words.empty())
        return out + base::Cp("Правильно");
    for (const std::string& w : words)
        out += w + "\r\n";
    return out;
}

std::string SpellingTableFullMessage() {
    return base::Cp("Орфотаблица заполнена: добавлены не все слова выделенного текста. "
                    "То, что успело войти, записано.");
}

} // namespace vocalix::textprep
