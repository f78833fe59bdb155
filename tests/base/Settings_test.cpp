#include "base/Cp1251.h"
#include "base/Settings.h"

#include <gtest/gtest.h>
#include <set>

using namespace vocalix::base;

namespace {

// Sets every option member to a value that differs from its default.
Options Changed() {
    Options o;
    int n = 7;
    for (const SettingsKey& k : SettingsKeys()) {
        if (auto m = std::get_if<int Options::*>(&k.member))
            o.*(*m) = 1000 + n++;
        else if (auto b = std::get_if<bool Options::*>(&k.member))
            o.*(*b) = !(o.*(*b));
        else if (auto s = std::get_if<std::string Options::*>(&k.member))
            o.*(*s) = Cp("значение ") + std::to_string(n++);
    }
    return o;
}

bool SameOptions(const Options& a, const Options& b) {
    for (const SettingsKey& k : SettingsKeys()) {
        if (auto m = std::get_if<int Options::*>(&k.member)) {
            if (a.*(*m) != b.*(*m))
                return false;
        } else if (auto bl = std::get_if<bool Options::*>(&k.member)) {
            if (a.*(*bl) != b.*(*bl))
                return false;
        } else if (auto s = std::get_if<std::string Options::*>(&k.member)) {
            if (a.*(*s) != b.*(*s))
                return false;
        }
    }
    return true;
}

} // namespace

TEST(Settings, FreshFileIsWrittenInTheOrderOfTheKeyTable) {
    IniFile ini;
    WriteAllSettings(ini, Options{}, PagesSettings{});
    std::string pages;
    for (int n = 1; n <= 10; ++n) {
        const std::string N = std::to_string(n);
        pages += "FileName" + N + "=\r\nCharPos" + N + "=0\r\nPicNumber" + N + "=0\r\nBookMarks" +
                 N + "=\r\n";
    }
    const std::string expected =
        "[SpeechEngine]\r\nNumber=0\r\nSpeed=0\r\nPitch=0\r\nDictionary=\r\n\r\n"
        "[Audio]\r\nXNumber=7\r\n\r\n"
        "[Text]\r\n" +
        pages +
        "PicMargin=550\r\nWordWrap=0\r\nAutoCap=0\r\nAutoRepl=0\r\nAutoParag=0\r\nAutoAloud=0\r\n"
        "AutoAloudP=1\r\nAutoAloudA=0\r\nAutoRepeat=1\r\nPicImport=0\r\nScale=100\r\n"
        "ActivePageIndex=0\r\n\r\n"
        "[Form]\r\nLeftCorner=-1\r\nTopCorner=-1\r\nWidth=714\r\nHeight=584\r\n\r\n"
        "[AudioConverter]\r\nACNumber=1\r\nBRNumber=4\r\nQNumber=2\r\nAllParam=-b64 -h\r\n"
        "ConverterMinimize=0\r\nAudioFromTop=1\r\n\r\n"
        "[Series]\r\nAudioSplit=0\r\nBytesInBlock=32768\r\nChapHeadSencitive=1\r\nHeader=0\r\n\r\n"
        "[LitText]\r\nParag=4\r\nMaxLen=76\r\nMaxHugeLen=228\r\nRightJustify=0\r\n\r\n"
        "[SAPI]\r\nSAPI5=0\r\n\r\n"
        "[FreshEye]\r\nDeep=11\r\nSimilarity=50\r\n\r\n"
        "[Others]\r\nBytesInFrag=4096\r\nIgnoreRules=0\r\nIgnorePrev=0\r\nIsXML=0\r\n"
        "GKName=" +
        Cp("<нет>") + "\r\nGKName2=" + Cp("<нет>") +
        "\r\nHandPointCursor=0\r\n\r\n"
        "[Font]\r\nName=\r\nSize=10\r\nCharSet=1\r\nColor=0\r\nStyle=0\r\n\r\n"
        "[Background]\r\nColor=-16777211\r\n\r\n"
        "[Extra]\r\nSubtitles=0\r\nWorkers=0\r\n\r\n";
    EXPECT_EQ(ini.Serialize(), expected);
}

TEST(Settings, MissingFileGivesEveryDefault) {
    const Options read = ReadAllOptions(IniFile{});
    EXPECT_TRUE(SameOptions(read, Options{}));
    EXPECT_EQ(read.AllParam, "-b64 -h");
    EXPECT_EQ(read.Width, 714);
    EXPECT_EQ(read.XNumber, 7);
}

TEST(Settings, EveryKeyRoundTripsThroughTheFile) {
    const Options changed = Changed();
    PagesSettings pages;
    for (int n = 0; n < kPageCount; ++n)
        pages[n] = {"/tmp/" + std::to_string(n) + Cp(" книга.txt"), 10 * n, n,
                    "0|" + std::to_string(n)};
    IniFile ini;
    WriteAllSettings(ini, changed, pages);
    IniFile reread;
    reread.Parse(ini.Serialize());
    EXPECT_TRUE(SameOptions(ReadAllOptions(reread), changed));
    for (int n = 0; n < kPageCount; ++n) {
        const PageSettings p = ReadPageSettings(reread, n + 1);
        EXPECT_EQ(p.FileName, pages[n].FileName);
        EXPECT_EQ(p.CharPos, pages[n].CharPos);
        EXPECT_EQ(p.PicNumber, pages[n].PicNumber);
        EXPECT_EQ(p.BookMarks, pages[n].BookMarks);
    }
}

TEST(Settings, GroupsReadOnlyTheirOwnKeys) {
    IniFile ini;
    WriteAllSettings(ini, Changed(), PagesSettings{});
    // GetOtherPrefs: AudioConverter, Series, LitText, FreshEye, Others and ten Text keys.
    const std::set<std::string> otherText = {"AutoCap",    "AutoRepl",   "AutoParag",  "AutoAloud",
                                             "AutoAloudP", "AutoAloudA", "AutoRepeat", "PicImport",
                                             "PicMargin",  "Scale"};
    const std::set<std::string> otherSections = {"AudioConverter", "Series", "LitText", "FreshEye",
                                                 "Others", "Extra"};
    int others = 0;
    for (const SettingsKey& k : SettingsKeys()) {
        const bool isOther = otherSections.count(k.section) ||
                             (std::string(k.section) == "Text" && otherText.count(k.key));
        EXPECT_EQ(k.group == SettingsGroup::Other, isOther) << k.section << "/" << k.key;
        EXPECT_EQ(k.group == SettingsGroup::Sapi, std::string(k.section) == "SAPI") << k.key;
        others += isOther;
    }
    EXPECT_EQ(others, 35);

    Options o;
    ReadSettingsGroup(ini, SettingsGroup::Other, o);
    EXPECT_EQ(o.Width, 714);   // Form belongs to GetGeneralPrefs
    EXPECT_EQ(o.FontSize, 10); // and so does Font
    EXPECT_NE(o.Scale, 100);
    EXPECT_NE(o.BytesInFrag, 4096);
}

TEST(Settings, InvalidValuesReadAsDefaults) {
    IniFile ini;
    ini.Parse("[audioconverter]\r\nacnumber=-3\r\nBRNumber=x\r\n"
              "[others]\r\nBytesInFrag=\r\nIgnorePrev=yes\r\n"
              "[text]\r\nscale=120\r\nAutoAloudP=0\r\nAutoRepeat=2.5\r\n");
    const Options o = ReadAllOptions(ini);
    EXPECT_EQ(o.ACNumber, 1);
    EXPECT_EQ(o.BRNumber, 4);
    EXPECT_EQ(o.BytesInFrag, 4096);
    EXPECT_FALSE(o.IgnorePrev);
    EXPECT_EQ(o.Scale, 120);
    EXPECT_FALSE(o.AutoAloudP);
    EXPECT_EQ(o.AutoRepeat, 1);
}

TEST(Settings, XNumberDefaultFollowsTheEngineGeneration) {
    IniFile ini;
    ini.Parse("[SAPI]\r\nSAPI5=1\r\n");
    EXPECT_EQ(ReadAllOptions(ini).XNumber, 18);
    ini.Parse("[SAPI]\r\nSAPI5=0\r\n");
    EXPECT_EQ(ReadAllOptions(ini).XNumber, 7);
    ini.Parse("[SAPI]\r\nSAPI5=1\r\n[Audio]\r\nXNumber=3\r\n");
    EXPECT_EQ(ReadAllOptions(ini).XNumber, 3);
}

TEST(Settings, PicMarginIsBoundedByTheWindow) {
    struct Case {
        int value, width, expected;
    } cases[] = {{20, 706, 100},  {5000, 706, 560}, {550, 706, 550},
                 {550, 600, 454}, {100, 706, 100},  {300, 120, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(BoundPicMargin(c.value, c.width), c.expected) << c.value << " in " << c.width;
}
