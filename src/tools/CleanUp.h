#pragma once

#include "tools/ToolHooks.h"

#include <string>
#include <string_view>

namespace vocalix::tools {

// Whole-text clean-up commands. Each returns the new text; a text without anything to change
// comes back as it was.

// Tab to four spaces.
std::string TabToSpace(std::string_view text);
// No-break space to an ordinary space.
std::string NbspToSpace(std::string_view text);
// Low, left and angle double quotes to the plain one (the right double quote stays).
std::string QuotesSimple(std::string_view text);
// En and em dashes to a minus.
std::string TireToMinus(std::string_view text);
// Ellipsis sign to three dots.
std::string MtSimple(std::string_view text);
// Keeps a line break only before an indented line: every paragraph on one line.
std::string ParagToLine(std::string_view text);
// Runs of spaces to one; a line that began with spaces gets an indent of `parag` - 1 spaces
// (never less than none) before the collapsed space.
std::string DeleSpaces(std::string_view text, int parag);
// Runs of up to 24 line breaks to at most three (two empty lines).
std::string DeleEmptyLines(std::string_view text);
// End-of-line hyphenation removed: the halves of a word hyphenated after a letter meet at the
// end of the upper line and the rest of the lower line stays a line of its own.
std::string DeleBreaks(std::string_view text, const ProgressHooks& hooks = {});

} // namespace vocalix::tools
