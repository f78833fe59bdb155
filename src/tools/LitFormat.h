#pragma once

#include "base/Options.h"
#include "tools/ToolHooks.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vocalix::tools {

// The formatter reads the "LitText" options: Parag, MaxLen, MaxHugeLen and RightJustify.
using LitTextSettings = base::Options;

// Parag and MaxLen above this many characters count as this many.
constexpr int kMaxLayoutWidth = 1000;

// Returns an index in [0, n), uniformly; n > 0. Injected so that justification is repeatable
// in tests.
using RandomIndex = std::function<size_t(size_t n)>;
// A source seeded from the clock, as the window uses.
RandomIndex DefaultRandomIndex();
// A source with a fixed seed: the same text comes out the same every run (batch work).
RandomIndex SeededRandomIndex(unsigned seed);

// Typographic characters to plain ones before formatting: tab, dashes, no-break space,
// quotes, ellipsis and the copyright sign.
std::string NormaliseTypography(std::string_view text);

// The whole literary layout: indents, re-wrapping to MaxLen, at most two empty lines between
// paragraphs and, when asked, lines padded to an even right edge. Words of any length are
// carried through.
std::string FormatLiteraryText(std::string_view text, const LitTextSettings& settings,
                               const RandomIndex& random, const ProgressHooks& hooks = {});

// The line widened to `width` characters by extra spaces between randomly chosen words. A
// line that cannot be widened (its only candidates are lone dashes) comes back with single
// spaces.
std::string JustifyLine(std::string_view line, int width, const RandomIndex& random);

// Result of shifting lines by one position.
struct ShiftResult {
    std::string text;
    bool setSelection = false; // false: the whole text was shifted, the selection is left alone
    int selStart = 0;
    int selLength = 0;
};

// Inserts (direction +1) or removes (-1) one leading space per line: of the whole text when
// selLength is 0, else of the lines the selection covers. Offsets count CR LF as two.
ShiftResult TextHorizontalMove(std::string_view text, int selStart, int selLength, int direction);

} // namespace vocalix::tools
