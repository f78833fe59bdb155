#pragma once

#include "tools/ReportRun.h"

#include <string>
#include <string_view>

namespace vocalix::tools {

// The counters of the text properties report, gathered in one pass over the word list.
struct TextCounts {
    size_t words = 0;      // tokens other than the line markers
    size_t letters = 0;    // their lengths, attached punctuation included
    size_t yoWords = 0;    // words with "ё" plus words with "Ё"
    size_t latinWords = 0; // see IsLatinWord
    size_t paragraphs = 0; // line markers directly followed by a word
    size_t lines = 0;      // CR LF separated lines, as the editor counts them
    size_t lineBreaks = 0; // CR LF pairs in the text
    size_t length = 0;     // characters, a line break counting two
};

// Whether the token, stripped of its surrounding punctuation, is a word of Latin letters
// (apostrophes allowed inside, but not an apostrophe alone).
bool IsLatinWord(std::string_view token);

TextCounts CountText(std::string_view text, const ReportHooks& hooks = {});

// The report "Общая" writes into page "0" for the text of the file named `fileTitle` (no
// folder), each line followed by CR LF.
std::string TextPropertiesReport(std::string_view text, std::string_view fileTitle,
                                 const ReportHooks& hooks = {});

} // namespace vocalix::tools
