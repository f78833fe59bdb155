#pragma once

#include "tools/ToolHooks.h"

#include <string>
#include <string_view>
#include <vector>

namespace vocalix::tools {

// Letters (Latin, Cyrillic, Ё, ё) and ' - < > ^ _ ` only, and not one of those signs alone
// (a lone hyphen passes).
bool IsColumnWord(std::string_view word);

// Every word of the text on a line of its own, stripped of punctuation and in lower case, in
// the order of the text (repeats kept).
std::string ColumnText(std::string_view text, const ProgressHooks& hooks = {});

// The column words once each in alphabetical order, each followed by CR LF. Case mode 0: in
// lower case. Case mode 1: as written, a capitalised word with a leading space (so it sorts
// first and stays apart from the same word in lower case).
std::string AlphColumnText(std::string_view text, int caseMode, const ProgressHooks& hooks = {});

// The lines of the text in order, exact repeats dropped, each followed by CR LF.
std::string SortLines(std::string_view text);

// Orders for the sorted lists: alphabetical with Ё beside Е, a space before every letter.
// The case-insensitive one treats letters that differ only in case as equal; the
// case-sensitive one puts them next to each other, lower case first.
bool LessIgnoringCase(std::string_view a, std::string_view b);
bool LessWithCase(std::string_view a, std::string_view b);

} // namespace vocalix::tools
