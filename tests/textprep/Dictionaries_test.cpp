#include "TestFolder.h"

#include "base/Cp1251.h"
#include "textprep/Dictionaries.h"

#include <algorithm>

using namespace vocalix::textprep;
using vocalix::base::Cp;

TEST(Dictionaries, FileKinds) {
    EXPECT_TRUE(IsDictionaryFile("a.dic"));
    EXPECT_TRUE(IsDictionaryFile("Abc.DIC"));
    EXPECT_TRUE(IsDictionaryFile("r.Ini"));
    EXPECT_TRUE(IsDictionaryFile("/x/y.z/r.ini"));
    EXPECT_FALSE(IsDictionaryFile("a.dic.txt"));
    EXPECT_FALSE(IsDictionaryFile("dic"));
    EXPECT_FALSE(IsDictionaryFile("/x.dic/readme"));
    EXPECT_FALSE(IsDictionaryFile(""));
}

TEST(Dictionaries, LinesEndAtAnyBreakAndStopAtNul) {
    std::vector<std::string> lines;
    SplitDictionaryLines(std::string("a\r\nb\rc\nd\r\n\r\ne\0f\r\ng", 19), lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
    lines.clear();
    SplitDictionaryLines("x\r\n", lines);
    EXPECT_EQ(lines, std::vector<std::string>{"x"});
    lines.clear();
    SplitDictionaryLines("", lines);
    EXPECT_TRUE(lines.empty());
}

TEST(Dictionaries, ListAndLoadFollowTheSelection) {
    TestProgramFolder folder;
    folder.WriteDic("b.dic", "b1\r\nb2");
    folder.WriteDic("A.dic", "a1\r\n");
    folder.WriteDic("Abc.DIC", "c1");
    folder.WriteDic("rules.ini", "r1");
    folder.WriteDic("notes.txt", "n");
    folder.WriteDic("Ударения.dic", "u1");
    auto names = ListDictionaryFiles(folder.Dir() / "dic");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"A.dic", "Abc.DIC", "b.dic", "rules.ini",
                                               Cp("Ударения.dic")}));
    EXPECT_TRUE(ListDictionaryFiles(folder.Dir() / "missing").empty());

    std::vector<std::string> lines{"stale"};
    LoadDictionaries(lines, "A.dic+b.dic+missing.dic+rules.ini+Abc.DIC", ".dic", folder.Dir());
    EXPECT_EQ(lines, (std::vector<std::string>{"a1", "b1", "b2", "c1"}));
    LoadDictionaries(lines, Cp("Ударения.dic"), ".dic", folder.Dir());
    EXPECT_EQ(lines, std::vector<std::string>{"u1"});
    LoadDictionaries(lines, "A.dic+b.dic+rules.ini", ".ini", folder.Dir());
    EXPECT_EQ(lines, std::vector<std::string>{"r1"});
    LoadDictionaries(lines, "", ".dic", folder.Dir());
    EXPECT_TRUE(lines.empty());
}

TEST(Dictionaries, StampsChangeWithTheFiles) {
    TestProgramFolder folder;
    folder.WriteDic("a.dic", "x=y");
    const auto before = StampDictionaries("a.dic+b.dic+c.ini", ".dic", folder.Dir());
    ASSERT_EQ(before.size(), 2u);
    EXPECT_TRUE(before[0].exists);
    EXPECT_FALSE(before[1].exists);
    EXPECT_EQ(StampDictionaries("a.dic+b.dic", ".dic", folder.Dir()), before);
    folder.WriteDic("a.dic", "x=yz");
    EXPECT_NE(StampDictionaries("a.dic+b.dic", ".dic", folder.Dir()), before);
}

TEST(Dictionaries, PronunciationLineRules) {
    struct Case {
        const char* line;
        bool used;
        const char* key;
        const char* entry;
    };
    const Case cases[] = {
        {"", false, "", ""},
        {"#comment", false, "", ""},
        {"#comment=x", false, "", ""},
        {"##=решётка", true, "#", "#=решётка"},
        {"#x ## y=z", true, "x", "x ## y=z"},
        {"no equals", false, "", ""},
        {"=x", false, "", ""},
        {" кот=x", true, "", " кот=x"},
        {"Кот=Кошка", true, "кот", "кот=Кошка"},
        {"$Кот=кошка", true, "$Кот", "$Кот=кошка"},
        {"_E_=<Пауза>", true, "_E_", "_E_=<Пауза>"},
        {"Так Как=Потому Что", true, "так", "так как=Потому Что"},
        {"* =x", false, "", ""},
        {"*   =x", false, "", ""},
        {"* Кот=x", true, "*", "* кот=x"},
        {"**x**=y", true, "**x**", "*x*=y"},
        {"**x=y", true, "**x", "*x=y"},
        {"**=y", true, "**", "*=y"},
        {"a=b=C", true, "a", "a=b=C"},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseDicLine(Cp(c.line));
        ASSERT_EQ(parsed.has_value(), c.used) << c.line;
        if (parsed) {
            EXPECT_EQ(parsed->key, Cp(c.key)) << c.line;
            EXPECT_EQ(parsed->entry, Cp(c.entry)) << c.line;
        }
    }
}

TEST(Dictionaries, RuleLineRules) {
    EXPECT_FALSE(ParseRuleLine(""));
    EXPECT_FALSE(ParseRuleLine("#a=b"));
    EXPECT_FALSE(ParseRuleLine("no equals"));
    EXPECT_FALSE(ParseRuleLine("=b"));
    auto r = ParseRuleLine("a=b=c");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->expression, "a");
    EXPECT_EQ(r->replacement, "b=c");
    EXPECT_FALSE(r->matchCase);
    r = ParseRuleLine(Cp("@ТАСС=тасс"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->expression, Cp("ТАСС"));
    EXPECT_TRUE(r->matchCase);
}
