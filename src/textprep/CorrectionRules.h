#pragma once

#include "textprep/PronunciationFilter.h"
#include "textprep/RegExpr.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Correction rules: the regular-expression replacements of the selected ".ini" dictionaries,
// applied before the pronunciation filter, and the report of the rules and entries used.
namespace vocalix::textprep {

// What the rule routines need to know of the window: where "dic/" is, which dictionaries are
// ticked, and the active page's file (a dictionary being edited turns the filters off).
struct RulesSettings {
    std::filesystem::path programDir;
    std::string selection;       // "+"-joined names of the ticked dictionaries
    std::string currentFileName; // file of the active page
};

// Cuts a text into the fragments that reading uses (whole lines up to BytesInFrag).
using FragmentSplitter = std::function<std::vector<std::string>(std::string_view text)>;

// One usable line of a rule file.
struct Rule {
    std::string line;        // as written in the file, for the report
    std::string expression;  // without the "@" prefix
    std::string replacement; // with group references protected
    bool caseSensitive = false;
};

// The rule of one line; nothing for an empty line, an empty expression, a comment ("#...") or
// a line without "=". An expression starting with "@" is matched with regard to case.
std::optional<Rule> ParseRule(std::string_view line);

// The names of the selection whose extension (lower-cased) is the given one, "+"-joined.
std::string SelectionOfKind(std::string_view selection, std::string_view extension);

// Whether the rule routines run at all: the selection names an ".ini" file and the active
// page is not itself a dictionary.
bool RulesActive(const RulesSettings& settings);

// All rules of the selected ".ini" files to one fragment (reading, "Показать измененный текст").
// The hooks pause the magnifier, move the progress bar and let pending events through.
// Both throw MemoryExhausted when memory runs out.
void RexFilter(std::string& text, const RulesSettings& settings, const FilterHooks& hooks = {});

// The same over a whole text, fragment by fragment ("Измененный текст").
void RexFilterFull(std::string& text, const RulesSettings& settings, const FragmentSplitter& split,
                   const FilterHooks& hooks = {});

// The rules (and pronunciation entries) that change the text, as the report text; the text
// becomes the text after the rules. full adds the headings and sorts the entries. The
// entries come from the given filter's table (the window's own), or from a new one.
// Throws MemoryExhausted when memory runs out in the entries stage.
std::string RulesReport(std::string& text, bool full, const RulesSettings& settings,
                        const FragmentSplitter& split, const FilterHooks& hooks = {},
                        PronunciationFilter* filter = nullptr);

// The lines each followed by CR LF: the text a page gets from a list of lines.
std::string LinesToText(const std::vector<std::string>& lines);

} // namespace vocalix::textprep
