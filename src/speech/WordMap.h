#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// The engine's word events are approximate (wrong lengths, several events for one number,
// occasional jumps backwards); they are mapped onto our own word list of the spoken string.
namespace vocalix::speech {

struct WordSpan {
    int start = 0;  // 0-based offset in the spoken Windows-1251 string
    int length = 0; // characters
};

// The words of a Windows-1251 string: split at blanks and control characters, leading and
// trailing punctuation trimmed; tokens without a letter or digit are dropped.
std::vector<WordSpan> SpokenWords(std::string_view cp1251);

// Follows one spoken string: each event offset selects the word containing or following it,
// never a word before one already reported.
class WordTracker {
public:
    explicit WordTracker(std::vector<WordSpan> words) : m_words(std::move(words)) {}
    // Index of the word to report for an event at this 0-based offset, or -1 for none.
    int Map(int offset);
    const WordSpan& Word(int index) const { return m_words[static_cast<size_t>(index)]; }
    size_t Count() const { return m_words.size(); }

private:
    std::vector<WordSpan> m_words;
    size_t m_next = 0;
};

} // namespace vocalix::speech
