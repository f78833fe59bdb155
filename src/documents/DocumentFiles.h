#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// File-name and folder helpers of opening and saving.
namespace vocalix::documents {

// Proposed file name (without extension) for an unnamed text, from its first non-empty line;
// "Untitled" when nothing usable is left.
std::string NameFromFirstLines(std::string_view text);

// The name without its folder ("/" or "\\" separated), as report headers show a file.
std::string FileTitle(std::string_view path);

// Lower-case extension with its dot ("" when the name has none).
std::string LowerExtension(const std::string& fileName);

// The name with its extension replaced (or added); ext includes the dot.
std::string ChangeFileExt(const std::string& fileName, std::string_view ext);

// Recursive copy of a folder. Returns the success of the last entry handled (false when
// nothing was done).
bool CopyDirectory(const std::filesystem::path& source, const std::filesystem::path& target,
                   bool stopOnFailure, bool overwrite);

} // namespace vocalix::documents
