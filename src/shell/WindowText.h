#pragma once

#include <string>
#include <string_view>

// Plain text routines of the main window (captions, hints), kept apart so they are tested
// without widgets. All strings are cp1251.
namespace vocalix::shell {

// Tab caption of page `index` (zero-based): the page number, the separator (" - ", " - ???"
// or empty) and the file's name without folder and extension, cut to 64 characters.
std::string PageTitle(int index, std::string_view separator, std::string_view fileName);
// Size hint of an editor: "K Кб, A а.л." for a text of `length` characters.
std::string SizeHint(long long length);
// Zoom of an editor in percent from its ratio: 100 when the denominator is below 1.
int ZoomPercent(int numerator, int denominator);

} // namespace vocalix::shell
