#include "textprep/RegExpr.h"

#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <string>

using vocalix::base::Cp;
using namespace vocalix::textprep;

namespace {

// Replace-all with the given options; the rule routines use the same call.
std::string Rep(std::string_view pattern, std::string_view text, std::string_view repl,
                RegExprOptions o = {}) {
    RegExpr re;
    re.options = o;
    re.SetExpression(pattern);
    return re.Replace(text, repl);
}

RegExprOptions Caseless() {
    RegExprOptions o;
    o.ignoreCase = true;
    return o;
}

} // namespace

TEST(RegExprTables, CyrillicLettersAreWordCharactersAndFoldCase) {
    // \w and \b see Cyrillic words as words, Ё/ё included.
    EXPECT_EQ(Rep("\\w+", Cp("ёжик, Ёлка!"), "X"), "X, X!");
    EXPECT_EQ(Rep(Cp("\\bкот\\b"), Cp("котик кот скот"), "X"), Cp("котик X скот"));
    EXPECT_EQ(Rep(Cp("привет"), Cp("ПРИВЕТ Привет привет"), "X", Caseless()), "X X X");
    EXPECT_EQ(Rep(Cp("ёлка"), Cp("ЁЛКА елка"), "X", Caseless()), Cp("X елка"));
    EXPECT_EQ(Rep(Cp("[а-я]+"), Cp("ДОМ"), "X", Caseless()), "X");
    // Without ignore case the cases stay apart.
    EXPECT_EQ(Rep(Cp("тасс"), Cp("ТАСС тасс"), "X"), Cp("ТАСС X"));
    // Space characters: space, tab, CR, LF, form feed; vertical tab and no-break space are not.
    EXPECT_EQ(Rep("\\s", std::string(" \t\r\n\f\v\xA0", 7), "_"), std::string("_____\v\xA0", 7));
    EXPECT_EQ(Rep("[[:upper:]]", Cp("aBвГЁё"), "_"), Cp("a_в__ё"));
}

TEST(RegExprOptions, DotAndLineSeparators) {
    RegExprOptions noDotAll;
    noDotAll.dotAll = false;
    EXPECT_EQ(Rep("a.b", "a\rb a\nb axb", "X", noDotAll), "a\rb a\nb X");
    EXPECT_EQ(Rep("a.b", "a\rb a\nb axb", "X"), "X X X");
    // "$" without multi-line still stops before a final line break; with it at every line end.
    RegExprOptions multi;
    multi.multiLine = true;
    EXPECT_EQ(Rep("^x", "x\r\nx\r\n", "y", multi), "y\r\ny\r\n");
    EXPECT_EQ(Rep("^x", "x\r\nx\r\n", "y"), "y\r\nx\r\n");
    EXPECT_EQ(Rep("x$", "x\r\nx", "y", multi), "y\r\ny");
}

TEST(RegExprOptions, RussianRangesGreedyExtended) {
    RegExprOptions noR;
    noR.russianRanges = false;
    EXPECT_EQ(Rep(Cp("[а-я]+"), Cp("ёлка"), "X"), "X");
    EXPECT_EQ(Rep(Cp("[а-я]+"), Cp("ёлка"), "X", noR), Cp("ёX"));
    EXPECT_EQ(Rep(Cp("[А-Я]"), Cp("ЁЖ"), "X"), "XX");
    EXPECT_EQ(Rep(Cp("[А-Я]"), Cp("ЁЖ"), "X", noR), Cp("ЁX"));

    RegExprOptions lazy;
    lazy.greedy = false;
    EXPECT_EQ(Rep("a+", "aaa", "X", lazy), "XXX");
    EXPECT_EQ(Rep("a+", "aaa", "X"), "X");

    RegExprOptions ext;
    ext.extended = true;
    EXPECT_EQ(Rep("a b # comment", "ab a b", "X", ext), "X a b");
}

TEST(RegExprReplace, TemplateSyntax) {
    struct Case {
        const char* pattern;
        const char* text;
        const char* repl;
        const char* expected;
    } cases[] = {
        {"(\\d+) km", "5 km", "$1 kilometres", "5 kilometres"},
        {"(a)(b)", "ab", "$2$1", "ba"},
        {"(a)(b)", "ab", "${2}1", "b1"},
        {"(a)(b)", "ab", "[$&]", "[ab]"},
        {"(a)(b)", "ab", "[$0]", "[ab]"},
        {"(a)", "a", "\\$1\\\\", "$1\\"},
        {"(a)", "a", "$x$", "$x$"},
        {"(a)", "a", "${1", "${1"},
        {"(a)", "a", "$9", ""},         // a group the expression lacks
        {"(a)|(b)", "a", "<$2>", "<>"}, // a group that did not take part
        {"(a)", "a", "$99999999999999999999", ""},
        {"x*", "ab", "-", "-a-b-"}, // empty matches move on one character
        {"", "", "-", "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rep(c.pattern, c.text, c.repl), c.expected) << c.pattern << " / " << c.repl;
}

TEST(RegExprReplace, GroupsAboveFourteenGiveNothing) {
    std::string pattern;
    for (int i = 0; i < 16; ++i)
        pattern += "(.)";
    const std::string text = "abcdefghijklmnop";
    EXPECT_EQ(Rep(pattern, text, "$14|${14}|$15|${16}|$1"), "n|n||"
                                                            "|a");
}

TEST(RegExprReplace, ProtectGroupReferences) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"$12", "${1}2"},   {"$1", "$1"},       {"$123", "${1}23"}, {"a$12b$12", "a${1}2b${1}2"},
        {"$$12", "$${1}2"}, {"${12}", "${12}"}, {"$1$2", "$1$2"},   {"$", "$"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProtectGroupReferences(c.in), c.out) << c.in;
    // Through the substitution "$12" is group 1 and the digit 2.
    EXPECT_EQ(
        Rep("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)", "abcdefghijkl", ProtectGroupReferences("$12")),
        "a2");
}

TEST(RegExprReplace, RussianRangesRewrite) {
    EXPECT_EQ(RussianRanges(Cp("[а-я]")), Cp("[а-яё]"));
    EXPECT_EQ(RussianRanges(Cp("[^А-Я0-9]")), Cp("[^А-ЯЁ0-9]"));
    EXPECT_EQ(RussianRanges(Cp("а-я")), Cp("а-я"));         // not in a class
    EXPECT_EQ(RussianRanges(Cp("[\\а-я]")), Cp("[\\а-я]")); // escaped start
    EXPECT_EQ(RussianRanges(Cp("[]а-я]")), Cp("[]а-яё]"));
    EXPECT_EQ(RussianRanges(Cp("[[:alpha:]а-я]")), Cp("[[:alpha:]а-яё]"));
    EXPECT_EQ(RussianRanges(Cp("[а-ю]")), Cp("[а-ю]"));
}

TEST(RegExprErrors, RejectedExpressionThrows) {
    RegExpr re;
    re.SetExpression("(ab");
    EXPECT_THROW(re.Exec("ab"), RegExprError);
    EXPECT_THROW(re.Replace("ab", "x"), RegExprError);
    re.SetExpression("ab");
    EXPECT_TRUE(re.Exec("xab"));
    EXPECT_EQ(re.MatchPos(0), 1u);
    EXPECT_EQ(re.MatchLen(0), 2u);
}

TEST(RegExprErrors, CatastrophicBacktrackingStopsWithError) {
    // Nested repetition that cannot reach the end of the line: exponential without limits.
    const std::string text(5000, 'a');
    for (const char* pattern : {"^(a+)+$", "(a|aa)+$", "(\\w+\\s?)+$", "(.*a){25}$"}) {
        RegExpr re;
        re.SetExpression(pattern);
        EXPECT_THROW(re.Replace(text + "!", "x"), RegExprError) << pattern;
    }
}
