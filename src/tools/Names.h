#pragma once

#include "tools/ReportRun.h"

#include <string>
#include <string_view>

namespace vocalix::tools {

// More than `limit` capitals (A-Z, Ё, А-Я), or one of the capitals Ё, Й, Ъ, Ы, Ь: a word that
// is rather an abbreviation or a shout than a name.
bool IsAbbreviationLike(std::string_view word, size_t limit);

// The report "Имена и аббревиатуры" writes into page "0": the capitalised words that stand
// inside a sentence, once each, sorted without regard to case, with the header sorted in
// among them. `fileTitle` is the document's name without folder.
std::string NamesReport(std::string_view text, std::string_view fileTitle,
                        const ReportHooks& hooks = {});

} // namespace vocalix::tools
