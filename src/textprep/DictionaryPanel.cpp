#include "textprep/DictionaryPanel.h"

#include "base/Cp1251.h"
#include "base/IniFile.h"
#include "textprep/StringRoutines.h"

#include <algorithm>
#include <system_error>

namespace vocalix::textprep {

namespace {

// Sort weight of one character: lower case, with ё placed just after е.
int Weight(char c) {
    const auto l = static_cast<unsigned char>(LowerChar(c));
    if (l == 0xB8)
        return 0xE5 * 2 + 1;
    return l * 2;
}

} // namespace

bool DictionaryNameLess(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int wa = Weight(a[i]), wb = Weight(b[i]);
        if (wa != wb)
            return wa < wb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b; // names differing only in case keep a fixed order
}

void SortDictionaryNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return DictionaryNameLess(a, b); });
}

void SetChecks(const std::vector<std::string>& items, std::vector<bool>& checks,
               std::string_view selection) {
    checks.resize(items.size(), false);
    for (const std::string& name : SplitBy(selection, '+'))
        for (size_t i = 0; i < items.size(); ++i)
            if (base::EqualsNoCase(items[i], name))
                checks[i] = true;
}

std::string CheckedItemsToStr(const std::vector<std::string>& items,
                              const std::vector<bool>& checks) {
    std::string selection;
    for (size_t i = 0; i < items.size() && i < checks.size(); ++i) {
        if (!checks[i])
            continue;
        if (!selection.empty())
            selection += '+';
        selection += items[i];
    }
    return selection;
}

std::string DicButtonHint(std::string_view selection) {
    static const std::string head = base::Cp("Словари|");
    return head + std::string(selection);
}

std::filesystem::path PictureFolder(const std::filesystem::path& textFile) {
    namespace fs = std::filesystem;
    if (textFile.empty())
        return {};
    std::error_code ec;
    fs::path folder;
    fs::path dotFiles = textFile;
    dotFiles.replace_extension(".files");
    if (fs::is_directory(dotFiles, ec))
        folder = dotFiles;
    fs::path bare = textFile;
    bare.replace_extension();
    const fs::path underscore = bare.string() + "_files";
    if (fs::is_directory(underscore, ec))
        folder = underscore;
    return folder;
}

bool HasPictureFolder(std::string_view currentFileName) {
    return !currentFileName.empty() && !PictureFolder(base::Cp1251ToUtf8(currentFileName)).empty();
}

} // namespace vocalix::textprep
