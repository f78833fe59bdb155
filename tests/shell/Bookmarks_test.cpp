#include "shell/Bookmarks.h"

#include <gtest/gtest.h>

using namespace vocalix::shell;

TEST(Bookmarks, AddAndParse) {
    std::string marks;
    marks = AddBookmark(marks, 0);
    EXPECT_EQ(marks, "0");
    marks = AddBookmark(marks, 500);
    marks = AddBookmark(marks, 17);
    EXPECT_EQ(marks, "0|500|17");
    EXPECT_EQ(ParseBookmarks(marks), (std::vector<int>{0, 500, 17}));
    EXPECT_TRUE(ParseBookmarks("").empty());
    // Hand-edited pieces that are no positions are skipped.
    EXPECT_EQ(ParseBookmarks("12|x|| 5|-3|7|99999999999"), (std::vector<int>{12, 7}));
}

TEST(Bookmarks, EntriesShowNumberPercentageAndExcerpt) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "abcdefg\r\n"; // 900 characters
    text += std::string(100, 'z');
    ASSERT_EQ(text.size(), 1000u);
    const std::string first = BookmarkEntry(1, 0, text);
    const std::string second = BookmarkEntry(2, 500, text);
    EXPECT_EQ(first.substr(0, 11), "001  (01)  ");
    EXPECT_EQ(second.substr(0, 11), "002  (50)  ");
    // The excerpt starts at the character before the caret, line ends become spaces.
    std::string excerpt = text.substr(0, 115);
    for (char& c : excerpt)
        if (c == '\r' || c == '\n')
            c = ' ';
    EXPECT_EQ(first.substr(11, 115), excerpt);
    EXPECT_EQ(second.substr(11, 3), text.substr(499, 3));
    EXPECT_EQ(first.size(), 11u + 115 + 200 + 3 + 1);
    EXPECT_EQ(first.substr(11 + 115), std::string(200, ' ') + "_#_0");
    EXPECT_EQ(BookmarkEntryPosition(second), 500);
    EXPECT_EQ(BookmarkEntryPosition("no marker"), 0);

    // Near the end the excerpt is shorter; an empty text gives 01 and no excerpt.
    EXPECT_EQ(BookmarkEntry(12, 999, text), "012  (99)  zz" + std::string(200, ' ') + "_#_999");
    EXPECT_EQ(BookmarkEntry(1000, 3, ""), "1000  (01)  " + std::string(200, ' ') + "_#_3");
}

TEST(Bookmarks, DeletingAnEntryRebuildsTheString) {
    const std::string text(1000, 'x');
    std::vector<std::string> entries = {BookmarkEntry(1, 10, text), BookmarkEntry(2, 20, text),
                                        BookmarkEntry(3, 30, text)};
    entries.erase(entries.begin() + 1);
    EXPECT_EQ(BookmarksFromEntries(entries), "10|30");
    EXPECT_EQ(BookmarksFromEntries({"no marker", BookmarkEntry(1, 7, text)}), "0|7");
    EXPECT_EQ(BookmarksFromEntries({}), "");
}
