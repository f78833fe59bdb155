#pragma once

#include <string>
#include <string_view>
#include <vector>

// Cutting a text into the fragments that the reading loop hands to the engine one by one.
namespace vocalix::speech {

// First 1-based position p >= start where the text holds CR LF followed by a space or another
// CR (a paragraph break: an indented line or an empty line); 0 when there is none.
int FindParagraphBreak(std::string_view text, int start);

// Cuts the text into fragments of whole lines (or whole paragraphs when the first paragraph
// break lies within the first 1024 characters), each ending with CR LF and holding up to
// `limit` characters unless a single line is longer; a limit of 0 or less means no limit.
// `offsets` receives each fragment's 1-based start position in the text as decimal text.
void SplitToFragments(std::string_view text, int limit, std::vector<std::string>& fragments,
                      std::vector<std::string>& offsets);

// True when the text holds nothing but spaces and control characters.
bool IsBlankText(std::string_view text);

// Nearest integer, halves to even (how tracked positions are scaled by the length ratio).
long long RoundHalfEven(double value);

} // namespace vocalix::speech
