#include "tools/SortedLineList.h"

#include "base/Cp1251.h"

#include <gtest/gtest.h>

using vocalix::base::Cp;
using vocalix::tools::SortedLineList;

TEST(SortedLineList, IgnoringCaseKeepsTheFirstOfEqualLines) {
    SortedLineList list(true);
    for (const char* s : {"жук", "ёж", "Ель", "ЁЖ", "ель", "# заголовок", "Zebra", "apple", "ежи"})
        list.Add(Cp(s));
    const std::vector<std::string> expected = {Cp("# заголовок"), "apple",  "Zebra",  Cp("ежи"),
                                               Cp("Ель"),         Cp("ёж"), Cp("жук")};
    EXPECT_EQ(list.Lines(), expected);
    EXPECT_TRUE(list.Contains(Cp("ЕЛЬ")));
    EXPECT_FALSE(list.Contains(Cp("ел")));
    EXPECT_FALSE(list.Add(Cp("ЖУК")));
    EXPECT_EQ(list.Text(), Cp("# заголовок\r\napple\r\nZebra\r\nежи\r\nЕль\r\nёж\r\nжук\r\n"));
}

TEST(SortedLineList, WithRegardToCaseKeepsBoth) {
    SortedLineList list(false);
    list.AddLines({"b", "B", "a", "b", ""});
    const std::vector<std::string> expected = {"", "a", "B", "b"};
    EXPECT_EQ(list.Lines(), expected);
    EXPECT_FALSE(list.Contains("A"));
}
