#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// What the dictionary panel decides, apart from its widgets: which items are checked, the
// selection string, the order of the items, when the panel hides, where the pages go.
namespace vocalix::textprep {

// The panel's sort order: file names compared without regard to case (ё right after е).
bool DictionaryNameLess(std::string_view a, std::string_view b);
void SortDictionaryNames(std::vector<std::string>& names);

// Sets (never clears) the check mark of every item named in the "+"-joined selection,
// comparing without regard to case.
void SetChecks(const std::vector<std::string>& items, std::vector<bool>& checks,
               std::string_view selection);

// The checked items in panel order joined by "+"; empty when none is checked.
std::string CheckedItemsToStr(const std::vector<std::string>& items,
                              const std::vector<bool>& checks);

// "Словари|" + selection: the hint of the dictionary button, whose long part shows the
// selection.
std::string DicButtonHint(std::string_view selection);

// The picture folder of a text file: its name with the extension replaced by ".files", or,
// when that exists too, the name without extension followed by "_files". Empty when neither
// exists.
std::filesystem::path PictureFolder(const std::filesystem::path& textFile);

// True when the current file (Windows-1251 name) has a picture folder.
bool HasPictureFolder(std::string_view currentFileName);

} // namespace vocalix::textprep
