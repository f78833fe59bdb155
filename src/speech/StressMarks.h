#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The pronunciation dictionaries mark stress with "+" before the stressed vowel ("з+амок").
// eSpeak NG reads "+" aloud and ignores accents in Russian text, but it takes phoneme input
// ("[[z'Amak]]"), so a marked word is handed over as its own phonemes, restressed.
namespace vocalix::speech {

// eSpeak's phonemes of one word (UTF-8): its ASCII phoneme names separated by "_".
using WordPhonemes = std::function<std::string(const std::string& utf8Word)>;

// A Windows-1251 text as eSpeak is to read it, and where each of its characters came from.
struct EngineText {
    std::string utf8;
    std::vector<int> source; // per character of utf8: offset in the text; empty = one to one

    // The text offset for a character position of utf8 (positions past the end stay there).
    int SourceOffset(int character) const;
};

// The text in UTF-8 for eSpeak (see EspeakUtf8), with every word that has "+" before a vowel
// rewritten as phoneme input stressed on that vowel, or, where its phonemes cannot be lined
// up with its letters, as the word without the marks.
EngineText ApplyStressMarks(std::string_view cp1251, const WordPhonemes& phonemes);

// eSpeak's phonemes of a Windows-1251 word (names separated by "_", words of a hyphenated one
// by spaces) with the stress moved to its vowel letter number `stressed` (0-based) and the
// vowels whose place relative to the stress changed reduced as eSpeak reduces them; joined
// by `separator` (none: phoneme input). Empty when the word already has that stress or the
// phonemes do not line up with the vowel letters.
std::string Restress(std::string_view cp1251Word, int stressed, std::string_view phonemes,
                     std::string_view separator = {});

} // namespace vocalix::speech
