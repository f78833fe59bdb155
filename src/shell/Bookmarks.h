#pragma once

#include <string>
#include <vector>

// A page's bookmarks: caret positions joined by "|" in the order they were added, and the
// entries of the bookmarks dialog built from them. Text is Windows-1251.
namespace vocalix::shell {

// The bookmark string with one more position.
std::string AddBookmark(const std::string& bookmarks, int position);

// The positions of a bookmark string; a piece that is not a decimal number (a hand-edited
// settings file) is skipped.
std::vector<int> ParseBookmarks(const std::string& bookmarks);

// The dialog's entry for bookmark `number` (from 1) at `position` in `text`: number padded to
// three digits, the position as a percentage of the text, a 115-character excerpt and, out of
// sight beyond 200 spaces, the marker "_#_" with the position.
std::string BookmarkEntry(int number, int position, const std::string& text);

// The position an entry carries (the up to 12 characters after "_#_"); 0 without a marker.
int BookmarkEntryPosition(const std::string& entry);

// The bookmark string rebuilt from the entries left in the dialog, in list order.
std::string BookmarksFromEntries(const std::vector<std::string>& entries);

} // namespace vocalix::shell
