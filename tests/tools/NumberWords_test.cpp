#include "tools/NumberWords.h"

#include "base/Cp1251.h"

#include <gtest/gtest.h>

namespace {

using vocalix::base::Cp;
namespace t = vocalix::tools;

TEST(NumberWords, NumbersInWords) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"21000", "двадцать одна тысяча"},
        {"11000", "одиннадцать тысяч"},
        {"2000000", "два миллиона"},
        {"1001", "одна тысяча один"},
        {"0", "ноль"},
        {"000", "ноль"},
        {"3.05", "три и пять сотых"},
        {"1.5", "один и пять десятых"},
        {"1000000", "один миллион"},
        {"5.", "пять"},
        {"112", "сто двенадцать"},
        {"2022", "две тысячи двадцать два"},
        {"1234567", "один миллион двести тридцать четыре тысячи пятьсот шестьдесят семь"},
        {"14000000000", "четырнадцать миллиардов"},
        {"3000000000000000000000000", "три септиллиона"},
        {"0.0000000000001", "ноль и один триллионных"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(t::NumberToPhrase(c.in), Cp(c.out));
    }
    const std::string digits27(27, '9');
    EXPECT_NE(t::NumberToPhrase(digits27), digits27);
    EXPECT_EQ(t::NumberToPhrase(digits27 + "9"), digits27 + "9");
    EXPECT_EQ(t::NumberToPhrase(digits27 + "9.5"), digits27 + "9.5");
}

TEST(NumberWords, PluralForms) {
    struct Case {
        const char* digits;
        int form;
    };
    const Case cases[] = {{"1", 1},  {"21", 1}, {"11", 3}, {"2", 2},   {"34", 2},  {"12", 3},
                          {"14", 3}, {"5", 3},  {"0", 3},  {"111", 3}, {"101", 1}, {"", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.digits);
        EXPECT_EQ(t::PluralForm(c.digits, "1", "2", "3"), std::to_string(c.form));
    }
}

TEST(NumberWords, SelectionWithDatesAndText) {
    auto command = [](const char* utf8) { return t::NumbersToWords(t::DotsToDashes(Cp(utf8))); };
    EXPECT_EQ(command("12.05.2010"), Cp("двенадцать-пять-две тысячи десять"));
    EXPECT_EQ(command("Было 1 000 руб."), Cp("Было один ноль руб."));
    EXPECT_EQ(command("Глава 5."), Cp("Глава пять"));
    // A run of dots without a digit is no number.
    EXPECT_EQ(t::NumbersToWords(Cp("Ну... и 2.")), Cp("Ну... и два"));
    EXPECT_EQ(t::DotsToDashes("a.b"), "a.b");
}

} // namespace
