#pragma once

#include "textprep/Dictionaries.h"
#include "textprep/EntryTable.h"
#include "textprep/SlotList.h"
#include "textprep/WordList.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The pronunciation filter: rewrites text word by word with the entries of the selected .dic
// files and inserts the dictionaries' tag values around paragraphs and dialogue.
namespace vocalix::textprep {

// A rewritten element beginning with this character is joined to the previous output
// without a space.
inline constexpr char kGlueMark = '`';

// The nine tag values a pronunciation dictionary may define; empty when not defined.
struct DictionaryTags {
    std::string E, Z, S, D, XD, C, XC, CENZ, INIT;
};

// Fills the table from dictionary lines: sized HashTableSize(3 x lines), each slot holding
// "key|entry|entry..." with the entries ordered longest first.
void DicPrepare(const std::vector<std::string>& lines, SlotList& table);

// Reads the nine tag values from a prepared table.
DictionaryTags GetTags(const SlotList& table);
DictionaryTags GetTags(const EntryTable& table);

// A prepared table with its tag values. The entries answer as the slot list of DicPrepare
// does, in a form that stays small and fast for dictionaries of millions of lines.
struct PronunciationTable {
    EntryTable entries;
    DictionaryTags tags;
    // Bytes held by the table (entries and tag values).
    size_t MemoryBytes() const;
};

// DicPrepare and GetTags over the given lines, into the compact form.
std::shared_ptr<const PronunciationTable>
BuildPronunciationTable(const std::vector<std::string>& lines);

// The keys under which entries for the word may be filed, in lookup order (may repeat).
std::vector<std::string> CandidateKeys(std::string_view word);

// What a key filter is asked about a whole family of keys of different lengths.
inline constexpr size_t kAnyKeyLength = static_cast<size_t>(-1);
// The keys of CandidateKeys one by one, each given to `visit` until it returns false, without
// a string of its own. A key for which admit(first character, whether the second is "*", last
// character, length) is false is passed over without being built; admit is also asked with
// kAnyKeyLength, and must then answer whether any key of that shape and some length may be.
void VisitCandidateKeys(std::string_view word,
                        const std::function<bool(char, bool, char, size_t)>& admit,
                        const std::function<bool(std::string_view)>& visit);

// The match test of an entry's pattern against a word (or phrase) text.
bool PatternMatches(std::string_view pattern, std::string_view matchText);

// The word form rewritten by an entry's pattern and replacement.
std::string ApplyReplacement(std::string_view form, std::string_view pattern,
                             std::string_view replacement);

// Rewrites the element at i (and the following ones for phrase entries) with every entry that
// applies; returns the applied entries as "pattern=replacement" joined by "|".
std::string CheckWord(const SlotList& table, WordList& list, size_t i, size_t n);
std::string CheckWord(const EntryTable& table, WordList& list, size_t i, size_t n);

// Whether the word is censored by the "_CENZ_" list; carries the range flag between words.
bool CensorMatch(std::string_view word, std::string_view censorList, bool& rangeFlag);

// Joins the word list back into text, inserting the tag values unless style rules are ignored.
// With `pieceStarts`, also where each element's piece of the result begins.
std::string JoinList(const WordList& list, bool keepLineBreaks, bool ignoreStyleRules,
                     const DictionaryTags& tags, std::vector<size_t>* pieceStarts = nullptr);

// Where a piece of the filtered text came from: the output from outputStart up to the next
// piece was made of the input bytes [inputStart, inputEnd), which are empty for a line marker
// (it stands at the start of its line). Sorted by outputStart; the text before the first
// piece (the "_INIT_" value) comes from nothing.
struct FilterPiece {
    size_t outputStart = 0;
    size_t inputStart = 0;
    size_t inputEnd = 0;
};
using FilterMap = std::vector<FilterPiece>;

// The input offset just after the last letter or digit of the source word that the output up
// to outputEnd (exclusive) was made from; a tag value inserted for a line marker belongs to
// the word before it.
size_t SourceWordEnd(const FilterMap& map, std::string_view input, size_t outputEnd);
// The input offset of the first letter or digit of the source word that the output character
// at outputOffset was made from; for a tag value of a line marker, the start of that line.
size_t SourceWordStart(const FilterMap& map, std::string_view input, size_t outputOffset);

// Thrown when memory runs out while the words are rewritten or joined; the window shows
// MemoryExhaustedMessage() with MemoryExhaustedCaption() and closes.
class MemoryExhausted : public std::runtime_error {
public:
    MemoryExhausted();
};
// Windows-1251 texts of the message box.
const std::string& MemoryExhaustedMessage();
const std::string& MemoryExhaustedCaption();

// What the window lends a filtering run: progress bar, message processing, magnifier timer.
struct FilterHooks {
    std::function<void(size_t)> setProgressMax;
    std::function<void(size_t)> setProgress;
    std::function<void()> processEvents;
    std::function<void()> pauseMagnifier;
    std::function<void()> resumeMagnifier;
};

// A run under the window's hooks: the magnifier paused throughout (resumed also when the run
// ends by an exception), the progress bar moved and pending events let through after every
// step, the bar reset at the end.
class HookedRun {
public:
    explicit HookedRun(const FilterHooks& hooks) : m_hooks(hooks) {
        if (m_hooks.pauseMagnifier)
            m_hooks.pauseMagnifier();
    }
    ~HookedRun() {
        if (m_hooks.setProgress)
            m_hooks.setProgress(0);
        if (m_hooks.resumeMagnifier)
            m_hooks.resumeMagnifier();
    }
    HookedRun(const HookedRun&) = delete;
    HookedRun& operator=(const HookedRun&) = delete;
    void Max(size_t maximum) const {
        if (m_hooks.setProgressMax)
            m_hooks.setProgressMax(maximum);
    }
    void Step(size_t position) const {
        if (m_hooks.setProgress)
            m_hooks.setProgress(position);
        if (m_hooks.processEvents)
            m_hooks.processEvents();
    }

private:
    const FilterHooks& m_hooks;
};

// The program-wide filter. It keeps the prepared table of the last selection and reuses it
// while the selected files keep their names, sizes and modification times, so a reading does
// not rebuild the table for every fragment.
class PronunciationFilter {
public:
    explicit PronunciationFilter(std::filesystem::path programDir);

    // The table for the selection's .dic files (read again only when they changed).
    std::shared_ptr<const PronunciationTable> DicPrepare(std::string_view selection);

    // Rewrites the text in place; returns false (text untouched, map cleared) when the current
    // file is a dictionary or the selection names no ".dic". With `map`, also records where each
    // piece of the result came from. Throws MemoryExhausted (see above); other errors propagate
    // after the magnifier timer has been restarted.
    bool Filter(std::string& text, bool keepLineBreaks, bool ignoreStyleRules,
                std::string_view selection, std::string_view currentFileName,
                const FilterHooks& hooks = {}, FilterMap* map = nullptr);

    const std::filesystem::path& ProgramDir() const { return m_programDir; }

private:
    std::filesystem::path m_programDir;
    std::vector<DictionaryFileStamp> m_stamps;
    std::shared_ptr<const PronunciationTable> m_table;
};

} // namespace vocalix::textprep
