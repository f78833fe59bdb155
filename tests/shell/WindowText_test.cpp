#include "base/Cp1251.h"
#include "shell/GlobalHotKeys.h"
#include "shell/WindowText.h"

#include <gtest/gtest.h>

using vocalix::base::Cp;
using namespace vocalix::shell;

TEST(PageTitle, NumberSeparatorAndNameWithoutFolderOrExtension) {
    EXPECT_EQ(PageTitle(2, " - ", "/home/u/Book.txt"), "3 - Book");
    EXPECT_EQ(PageTitle(1, " - ???", ""), "2 - ???");
    EXPECT_EQ(PageTitle(4, "", ""), "5");
    EXPECT_EQ(PageTitle(0, " - ", "/a/b.c/archive.tar.gz"), "1 - archive.tar");
    EXPECT_EQ(PageTitle(0, " - ", "/a/b.c/noext"), "1 - noext");
    const std::string longName(100, 'x');
    EXPECT_EQ(PageTitle(0, " - ", "/d/" + longName + ".txt"), "1 - " + std::string(64, 'x'));
}

TEST(SizeHint, KilobytesAndAuthorSheets) {
    EXPECT_EQ(SizeHint(100000), Cp("98 Кб, 2.5 а.л."));
    EXPECT_EQ(SizeHint(0), Cp("0 Кб, 0 а.л."));
    // 512 / 1024 = 0.5 rounds to even (0); 1536 / 1024 = 1.5 rounds to 2.
    EXPECT_EQ(SizeHint(512), Cp("0 Кб, 0 а.л."));
    EXPECT_EQ(SizeHint(1536), Cp("2 Кб, 0 а.л."));
    // 60000 / 40000 = 1.5 keeps one decimal; 2000 / 40000 = 0.05 rounds to even (0).
    EXPECT_EQ(SizeHint(60000), Cp("59 Кб, 1.5 а.л."));
    EXPECT_EQ(SizeHint(2000), Cp("2 Кб, 0 а.л."));
}

TEST(ZoomPercent, RatioToPercent) {
    EXPECT_EQ(ZoomPercent(0, 0), 100);
    EXPECT_EQ(ZoomPercent(5, -1), 100);
    EXPECT_EQ(ZoomPercent(150, 100), 150);
    EXPECT_EQ(ZoomPercent(1, 3), 33);
    EXPECT_EQ(ZoomPercent(2, 3), 67);
}

TEST(HotKeyNames, ModifiersAndKeyFromName) {
    struct Case {
        const char* name;
        int modifiers;
        int key;
    };
    const Case cases[] = {
        {"Ctrl+Shift+F5", 6, 116},
        {"alt + x", 1, 88},
        {"Ctrl+F13", 2, 0},
        {"Ctrl+Alt+Shift+F12", 7, 123},
        {"shift+space", 4, 32},
        {"CTRL+7", 2, '7'},
        {"F1", 0, 112},
        {"Ctrl+F0", 2, 0},
        {"Ctrl+AB", 2, 0},
        {"", 0, 0},
        {"Ctrl+", 2, 0},
        {"Ctrl+ф", 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HotKeyModifiers(c.name), c.modifiers);
        EXPECT_EQ(HotKeyVirtualKey(c.name), c.key);
    }
    const std::string none = Cp("<нет>");
    EXPECT_EQ(HotKeyModifiers(none), 0);
    EXPECT_EQ(HotKeyVirtualKey(none), 0);
}
