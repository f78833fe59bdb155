#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vocalix::textprep {

// The text cut into space-separated tokens, with marker elements for empty and indented lines.
// Later stages overwrite elements in place, so an index always names the token it came from.
using WordList = std::vector<std::string>;

// Marks an empty (or blank) line.
inline constexpr std::string_view kEmptyLineMarker = "_E_";
// Stands before the tokens of a line that begins with a space.
inline constexpr std::string_view kIndentMarker = "_Z_";

inline bool IsLineMarker(std::string_view element) {
    return element == kEmptyLineMarker || element == kIndentMarker;
}

// Where an element of a word list stands in the text it was cut from: [start, end) in bytes.
// A marker is empty and stands at the start of its line.
struct TokenSpan {
    size_t start = 0;
    size_t end = 0;
};

// Cuts the text at CR LF into lines and each line into tokens of 1 to 99 characters; with
// `spans`, also where each element came from.
void TextToWordList(std::string_view text, WordList& list, std::vector<TokenSpan>* spans = nullptr);
WordList TextToWordList(std::string_view text);
// The same cut, but tokens of 100 characters or more are kept: for rewriting the text itself,
// where dropping one would lose part of the text.
WordList TextToWordListKeepingLongTokens(std::string_view text);

} // namespace vocalix::textprep
