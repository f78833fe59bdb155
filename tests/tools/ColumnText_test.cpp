#include "tools/ColumnText.h"

#include "base/Cp1251.h"

#include <gtest/gtest.h>

namespace {

using vocalix::base::Cp;
namespace t = vocalix::tools;

TEST(ColumnText, AllWordsAsTheyCome) {
    EXPECT_EQ(t::ColumnText(Cp("Мама, мыла раму!\r\n\r\n  Мама - – (\"!\") мыла")),
              Cp("мама\r\nмыла\r\nраму\r\nмама\r\n\r\nмыла"));
    EXPECT_EQ(t::ColumnText(""), "");
}

TEST(ColumnText, SortedWordsInBothCaseModes) {
    const std::string text =
        Cp("мама Мама ёж Ель ель яма apple Zoo кое-как 1990 т.д. _E_ «Дом»\r\n дом");
    EXPECT_EQ(t::AlphColumnText(text, 0),
              Cp("apple\r\nzoo\r\nдом\r\nель\r\nёж\r\nкое-как\r\nмама\r\nяма\r\n"));
    EXPECT_EQ(t::AlphColumnText(text, 1),
              Cp(" Zoo\r\n Дом\r\n Ель\r\n Мама\r\napple\r\nдом\r\nель\r\nёж\r\nкое-как\r\nмама\r\n"
                 "яма\r\n"));
}

TEST(ColumnText, ColumnWords) {
    struct Case {
        const char* word;
        bool column;
    };
    const Case cases[] = {{"слово", true}, {"it's", true}, {"-", true},   {"_", false},
                          {"'", false},    {"<a>", true},  {"a1", false}, {"т.д", false},
                          {"", false},     {"Ёлка", true}, {"a b", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(t::IsColumnWord(Cp(c.word)), c.column);
    }
}

TEST(ColumnText, SortLinesDropsRepeats) {
    EXPECT_EQ(t::SortLines(Cp("б\r\n\r\nа\r\nБ\r\n\r\nб\r\nа")), Cp("\r\nа\r\nб\r\nБ\r\n"));
    EXPECT_EQ(t::SortLines(""), "");
}

} // namespace
