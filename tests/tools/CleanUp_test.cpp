#include "tools/CleanUp.h"

#include "base/Cp1251.h"
#include "textprep/StringRoutines.h"

#include <gtest/gtest.h>

namespace {

using vocalix::base::Cp;
namespace t = vocalix::tools;

TEST(CleanUp, CharacterReplacements) {
    EXPECT_EQ(t::TabToSpace("a\tb\t"), "a    b    ");
    EXPECT_EQ(t::NbspToSpace("1\xA0"
                             "000"),
              "1 000");
    // The right double quote (code 148) is not one of the replaced quotes.
    EXPECT_EQ(t::QuotesSimple("\x84x\x93 \xABy\xBB \x94"), "\"x\" \"y\" \x94");
    EXPECT_EQ(t::TireToMinus("a \x96 b \x97 c"), "a - b - c");
    EXPECT_EQ(t::MtSimple("\x85\x85"), "......");
}

TEST(CleanUp, ParagToLineKeepsBreaksBeforeIndentedLinesOnly) {
    EXPECT_EQ(t::ParagToLine("  one\r\ntwo\r\n  three\r\n\r\nfour"), "  one two\r\n  three  four");
}

TEST(CleanUp, DeleSpacesIndentsByParagMinusOne) {
    struct Case {
        const char* in;
        int parag;
        const char* out;
    };
    const Case cases[] = {
        {"a   b  c", 4, "a b c"},
        {"a\r\n b", 4, "a\r\n   b"},
        {"a\r\n   b", 4, "a\r\n    b"},
        // No indent configured: no indent, never a negative one.
        {"a\r\n b", 0, "a\r\nb"},
        {"a\r\n  b", 0, "a\r\n b"},
        {"a\r\n b", 1, "a\r\nb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(t::DeleSpaces(c.in, c.parag), c.out);
    }
}

TEST(CleanUp, DeleEmptyLinesLeavesAtMostTwoEmptyLines) {
    auto breaks = [](int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += "\r\n";
        return s;
    };
    EXPECT_EQ(t::DeleEmptyLines("a" + breaks(7) + "b"), "a" + breaks(3) + "b");
    for (int n = 1; n <= 24; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(t::DeleEmptyLines("a" + breaks(n) + "b"), "a" + breaks(std::min(n, 3)) + "b");
    }
    EXPECT_EQ(t::DeleEmptyLines("no breaks at all"), "no breaks at all");
}

TEST(CleanUp, DeleBreaksJoinsHyphenatedWords) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"Это пере-\r\n  ход дальше\r\nконец", "Это переход\r\nдальше\r\nконец"},
        {"пере-  \r\nход\r\nвсё", "переход\r\nвсё"},
        // After a digit or a bracket, or with text after it, a hyphen stays.
        {"1990-\r\nх годов", "1990-\r\nх годов"},
        {"(а)-\r\nб в", "(а)-\r\nб в"},
        {"кое-как\r\nвот", "кое-как\r\nвот"},
        // A dash at the very start, alone on its line, goes with the break.
        {"- \r\nслово и", "слово\r\nи"},
        // Two hyphenations in a row.
        {"раз-\r\nдва-\r\nтри четыре", "раздватри\r\nчетыре"},
        // The last word of the text: no space left, the rest stays.
        {"пере-\r\nход", "переход"},
        {"без переносов", "без переносов"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(t::DeleBreaks(Cp(c.in)), Cp(c.out));
    }
}

TEST(CleanUp, CaseByWindows1251Rules) {
    EXPECT_EQ(vocalix::textprep::UpperCase(Cp("ёлка Tree")), Cp("ЁЛКА TREE"));
    EXPECT_EQ(vocalix::textprep::LowerCase(Cp("ЁЛКА Tree")), Cp("ёлка tree"));
}

} // namespace
