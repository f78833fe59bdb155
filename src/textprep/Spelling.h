#pragma once

#include "textprep/SlotList.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The spelling table "~orfo~": five-letter fragments of correct words with the positions they
// occur in (start, middle, end, whole word) and the short words of one to four letters.
namespace vocalix::textprep {

// Name of the table's file in the program folder.
inline constexpr std::string_view kSpellingFileName = "~orfo~";

// Room a table for adding or removing gets above twice its lines.
inline constexpr size_t kSpellingAddRoom = 250000;

// Position flags of a fragment entry.
enum SpellingRole : int { kRoleStart = 8, kRoleMiddle = 4, kRoleEnd = 2, kRoleWhole = 1 };

// The entry's hex digit as four "0"/"1" characters for the flags 8, 4, 2, 1 ("0000" when the
// entry has no space or a digit outside "1"-"9", "A"-"F").
std::string FlagsOfEntry(std::string_view entry);
// Four "0"/"1" characters back to the digit; empty for "0000".
std::string EntryOfFlags(std::string_view flags);

// Lower case with ё written as е: the form every entry is stored in.
std::string NormalizeSpellingWord(std::string_view word);

// The role of the fragment starting at 1-based position p in a word of n >= 5 letters.
SpellingRole RoleAt(size_t p, size_t n);

// The table in memory, loaded from "~orfo~" and written back whole.
class SpellingTable {
public:
    // Loads the file (a missing file gives an empty table). room is added to twice the number
    // of lines before the size is chosen: 0 for checking, kSpellingAddRoom for changes.
    void Load(const std::filesystem::path& file, size_t room);

    // Whether the word (normalised) is spelled as the table knows it.
    bool IsCorrect(std::string_view normalizedWord) const;

    // Adds or removes one normalised word. Adding returns false when the table has no free
    // slot left; nothing is written outside the table.
    bool Add(std::string_view normalizedWord);
    void Remove(std::string_view normalizedWord);

    // The file's text: the used slots in slot order, without tombstones, each line CR LF.
    std::string Text() const;

    const SlotList& Slots() const { return m_slots; }

private:
    SlotList m_slots;
};

// Result of checking: the misspelled words as they stand in the text, sorted, each listed once
// without regard to case.
std::vector<std::string> SpellCheckWords(const SpellingTable& table, std::string_view text);

// Progress of adding or removing: the number of word-list elements, then each index.
struct SpellingProgress {
    std::function<void(long maximum)> setRange;
    std::function<void(long position)> setPosition;
};

struct SpellingChange {
    bool tableFull = false; // adding stopped early: the table had no free slot left
};

// Adds (or removes) the words of the text to the table: only tokens that are Cyrillic words
// with nothing attached. The caller writes the table afterwards.
SpellingChange SpellAddWords(SpellingTable& table, std::string_view text,
                             const SpellingProgress& progress = {});
void SpellRemoveWords(SpellingTable& table, std::string_view text,
                      const SpellingProgress& progress = {});

// The report page text for a check of the named file ("Правильно" when nothing was found).
std::string SpellingReportText(std::string_view fileName, const std::vector<std::string>& words);

// Message shown when adding stopped because the table was full.
std::string SpellingTableFullMessage();

} // namespace vocalix::textprep
