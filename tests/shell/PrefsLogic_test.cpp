#include "base/Cp1251.h"
#include "shell/PrefsLogic.h"

#include <gtest/gtest.h>
#include <set>

using namespace vocalix;
using namespace vocalix::shell;
using base::Cp;

TEST(PrefsLogic, HotKeyNamesAreTheHundredAndEighteenInOrder) {
    const auto& names = HotKeyNames();
    ASSERT_EQ(names.size(), 118u);
    EXPECT_EQ(names[0], Cp("<нет>"));
    EXPECT_EQ(names[1], "Space");
    EXPECT_EQ(names[3], "Alt+Space");
    EXPECT_EQ(names[4], "F1");
    EXPECT_EQ(names[15], "F12");
    EXPECT_EQ(names[16], "Ctrl+F1");
    EXPECT_EQ(names[28], "Shift+F1");
    EXPECT_EQ(names[39], "Shift+F12");
    EXPECT_EQ(names[40], "A");
    EXPECT_EQ(names[66], "Ctrl+A");
    EXPECT_EQ(names[117], "Alt+Z");
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 118u);
}

TEST(PrefsLogic, UnknownHotKeyNamesFallBackToNone) {
    EXPECT_EQ(HotKeyNameIndex("Ctrl+A"), 66);
    EXPECT_EQ(HotKeyNameIndex("ctrl+a"), 66);
    EXPECT_EQ(HotKeyNameIndex(Cp("<нет>")), 0);
    EXPECT_EQ(HotKeyNameIndex("Ctrl+Shift+F5"), 0);
    EXPECT_EQ(HotKeyNameIndex(""), 0);
}

TEST(PrefsLogic, EncoderParametersFollowTheLists) {
    struct Case {
        int converter;
        const char* bitRate;
        int quality;
        std::optional<std::string> expected;
    } cases[] = {
        {1, "64", 2, "-b64 -h"}, {1, "128", 0, "-b128 -f"}, {1, "128", 1, "-b128 "},
        {2, "96", 0, "-96"},     {2, "350", 2, "-350"},     {0, "64", 2, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComposeEncoderParams(c.converter, c.bitRate, c.quality), c.expected)
            << c.converter << " " << c.bitRate << " " << c.quality;
    // The defaults of the settings file are what the lists compose.
    const base::Options o;
    EXPECT_EQ(ComposeEncoderParams(o.ACNumber, BitRateNames()[o.BRNumber], o.QNumber), o.AllParam);
}

TEST(PrefsLogic, ListeningTimeEstimate) {
    EXPECT_EQ(ListeningTimeText("32768"), Cp("~45 мин. звучания"));
    EXPECT_EQ(ListeningTimeText("0"), Cp("~0 мин. звучания"));
    EXPECT_EQ(ListeningTimeText(""), Cp("~0 мин. звучания"));
    EXPECT_EQ(ListeningTimeText("719"), Cp("~0 мин. звучания"));
    EXPECT_EQ(ListeningTimeText("1440"), Cp("~2 мин. звучания"));
    EXPECT_EQ(ListeningTimeText("99999999999999"), Cp("~0 мин. звучания"));
}

TEST(PrefsLogic, DialogCorrections) {
    struct Case {
        int blockIn, blockOut, fragIn, fragOut, deepIn, deepOut, simIn, simOut, repIn, repOut;
    } cases[] = {
        {300, 500, 1, 2, 0, 1, 0, 1, 0, 1},         {0, 0, 0, 0, 21, 20, 101, 100, 25, 10},
        {499, 500, 2, 2, 20, 20, 100, 100, 10, 10}, {500, 500, 4096, 4096, 11, 11, 50, 50, 1, 1},
        {1, 500, 3, 3, -4, 1, -7, 1, -2, 1},
    };
    for (const auto& c : cases) {
        base::Options o;
        o.BytesInBlock = c.blockIn;
        o.BytesInFrag = c.fragIn;
        o.Deep = c.deepIn;
        o.Similarity = c.simIn;
        o.AutoRepeat = c.repIn;
        CorrectForDialog(o);
        EXPECT_EQ(o.BytesInBlock, c.blockOut);
        EXPECT_EQ(o.BytesInFrag, c.fragOut);
        EXPECT_EQ(o.Deep, c.deepOut);
        EXPECT_EQ(o.Similarity, c.simOut);
        EXPECT_EQ(o.AutoRepeat, c.repOut);
    }
}

TEST(PrefsLogic, NumberFieldsTakeDigitsAndBackspaceOnly) {
    for (char c = '0'; c <= '9'; ++c)
        EXPECT_TRUE(IsNumberFieldChar(c));
    for (char c : std::string("a-+ .,\r\t") + Cp("я"))
        EXPECT_FALSE(IsNumberFieldChar(c)) << int(c);
    EXPECT_TRUE(IsNumberFieldChar('\b'));
}
