#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The dictionary folder "dic/" of the program folder, the two kinds of dictionary file and the
// lines they are made of.
namespace vocalix::textprep {

inline constexpr std::string_view kPronunciationExtension = ".dic";
inline constexpr std::string_view kRulesExtension = ".ini";

// ProgramDir + "dic".
std::filesystem::path DictionaryFolder(const std::filesystem::path& programDir);

// The extension of a file name (from its last "." within the name part), lower-cased.
std::string LowerExtension(std::string_view name);

// True when the lower-cased extension of the name is ".dic" or ".ini".
bool IsDictionaryFile(std::string_view name);

// True when a selection name can only mean a file inside the dictionary folder: no "/" or
// "\\", and not "." or "..". Other names are skipped (a settings profile from elsewhere must not
// make the program read files from anywhere).
bool IsPlainDictionaryName(std::string_view name);

// Names (no folder) of the dictionaries in a folder, in the order the file system gives them;
// a missing or unreadable folder gives an empty list.
std::vector<std::string> ListDictionaryFiles(const std::filesystem::path& folder);

// The lines of a dictionary file: CR LF, lone CR and lone LF end a line; a NUL byte ends the
// readable text.
void SplitDictionaryLines(std::string_view bytes, std::vector<std::string>& lines);

// All lines of the selected files whose lower-cased extension equals `extension`, in
// selection order. Names whose files are missing contribute nothing.
void LoadDictionaries(std::vector<std::string>& lines, std::string_view selection,
                      std::string_view extension, const std::filesystem::path& programDir);

// Calls line() for each line LoadDictionaries would give, reading the files piece by piece so
// that a dictionary of millions of lines is never held as a list of lines. Returns the number
// of lines; throws std::runtime_error when a file that exists cannot be read.
std::size_t ForEachDictionaryLine(std::string_view selection, std::string_view extension,
                                  const std::filesystem::path& programDir,
                                  const std::function<void(std::string_view)>& line);

// One file the selection names, as the loader sees it (for noticing changed dictionaries).
struct DictionaryFileStamp {
    std::string name;
    bool exists = false;
    uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    bool operator==(const DictionaryFileStamp&) const = default;
};

// Stamps of the files LoadDictionaries would read for this selection and extension.
std::vector<DictionaryFileStamp> StampDictionaries(std::string_view selection,
                                                   std::string_view extension,
                                                   const std::filesystem::path& programDir);

// A usable line of a pronunciation dictionary: the key it is filed under and the entry.
struct DicLine {
    std::string key;
    std::string entry;
};

// Applies the line rules of a .dic file (comments, the "#" escape, "* " lines, lower-casing,
// doubled stars); nullopt for a line that is ignored.
std::optional<DicLine> ParseDicLine(std::string_view line);

// A usable line of a correction rule file.
struct RuleLine {
    std::string expression;  // without its "@"
    std::string replacement; // everything after the first "="
    bool matchCase = false;  // the expression began with "@"
};

// Applies the line rules of a .ini rule file; nullopt for a line that is ignored.
std::optional<RuleLine> ParseRuleLine(std::string_view line);

} // namespace vocalix::textprep
