#pragma once

#include "tools/ReportRun.h"

#include <string>
#include <string_view>

namespace vocalix::tools {

// The share of the substrings of a (lengths n, n-1 ... 1, every starting position) that occur
// in b, without regard to letter case; 0 when a has none.
double SubstringShare(std::string_view a, std::string_view b, int n);
// The larger of SubstringShare(a, b, n) and SubstringShare(b, a, n).
double WordSimilarity(std::string_view a, std::string_view b, int n);

// The settings of the finder: each word is compared with the deep - 1 tokens after it; a pair
// counts when its similarity in percent is at least `similarity`.
// The deepest window: what the preferences allow; a larger depth counts as this one.
constexpr int kMaxFreshEyeDeep = 20;

struct FreshEyeSettings {
    int deep = 11;
    double similarity = 50;
};

// The report "Свежий взгляд" writes into page "0": every word that has a similar word close
// after it, with its following context and the similar words in braces. `fileTitle` is the
// document's name without folder.
std::string FreshEyeReport(std::string_view text, std::string_view fileTitle,
                           const FreshEyeSettings& settings, const ReportHooks& hooks = {});

} // namespace vocalix::tools
