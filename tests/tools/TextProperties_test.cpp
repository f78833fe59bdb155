#include "tools/TextProperties.h"

#include "base/Cp1251.h"

#include <gtest/gtest.h>

using vocalix::base::Cp;
using namespace vocalix::tools;

TEST(TextProperties, WholeReport) {
    // An indented paragraph, an empty line, a plain line; a word with both yo letters, one
    // Latin word with an inner apostrophe and a trailing comma.
    const std::string text = Cp(" Ёжё ёлку nature's,\r\n\r\nx1 'ещё'");
    EXPECT_EQ(TextPropertiesReport(text, Cp("Книга.txt")),
              Cp("# Свойства текста \"Книга.txt\"\r\n\r\n"
                 "Размер: 0 Кб = 0 авторских листов\r\n"
                 "Знаков (без пробелов): 23\r\n"
                 "Знаков (с пробелами): 27\r\n"
                 "Слов: 5\r\n"
                 "Средняя длина слова: 4.6\r\n"
                 "Абзацев: 2\r\n"
                 "Строк: 3\r\n"
                 "Ёфикация: ДА (4 слов)\r\n"
                 "Латиница: 20% (1 слов)\r\n"));
}

TEST(TextProperties, EmptyPageReportsZeros) {
    const std::string r = TextPropertiesReport("", "a.txt");
    EXPECT_NE(r.find(Cp("Средняя длина слова: 0\r\n")), std::string::npos) << r;
    EXPECT_NE(r.find(Cp("Латиница: 0% (0 слов)\r\n")), std::string::npos);
    EXPECT_NE(r.find(Cp("Ёфикация: нет (0 слов)\r\n")), std::string::npos);
    EXPECT_NE(r.find(Cp("Строк: 1\r\n")), std::string::npos);
}

TEST(TextProperties, Counters) {
    struct Case {
        const char* text;
        size_t paragraphs, lines, withSpaces;
    };
    const Case cases[] = {
        {"abc", 0, 1, 3},   {" a b\r\n\r\nc", 2, 3, 5},          {"a b\r\n\r\nc", 1, 3, 4},
        {"a\r\n", 0, 2, 1}, {" a\r\n b\r\n\r\n\r\n c", 3, 5, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TextCounts n = CountText(c.text);
        EXPECT_EQ(n.paragraphs, c.paragraphs);
        EXPECT_EQ(n.lines, c.lines);
        EXPECT_EQ(n.length - 2 * n.lineBreaks, c.withSpaces);
    }
}

TEST(TextProperties, LatinWords) {
    const std::pair<const char*, bool> cases[] = {
        {"don't,", true}, {"(Hello)", true}, {"a1", false},  {"'", false},
        {"''", true},     {"x-ray", false},  {"кот", false}, {"...", false},
    };
    for (const auto& [token, latin] : cases)
        EXPECT_EQ(IsLatinWord(token), latin) << token;
}

TEST(TextProperties, YoVerdictBoundariesAndSheets) {
    // 250 tokens of 80 letters: 20000 letters; one yo-word gives a ratio of exactly 0.00005.
    auto book = [](size_t tokens, const std::string& extra) {
        std::string text = extra;
        for (size_t i = 0; i < tokens; ++i)
            text += std::string(80, 'a') + (i % 10 == 9 ? "\r\n" : " ");
        return text;
    };
    const std::string yo = Cp("ё") + std::string(79, 'a') + " ";
    EXPECT_NE(TextPropertiesReport(book(249, yo), "").find(Cp("Ёфикация: ДА (1 слов)")),
              std::string::npos);
    EXPECT_NE(TextPropertiesReport(book(250, yo + "b "), "").find(Cp("частичная (1 слов)")),
              std::string::npos);
    EXPECT_NE(TextPropertiesReport(book(2500, yo), "").find(Cp("Ёфикация: нет")),
              std::string::npos);

    EXPECT_NE(TextPropertiesReport(std::string(40000, 'a'), "").find(Cp("= 1 авторских")),
              std::string::npos);
    EXPECT_NE(TextPropertiesReport(std::string(60000, 'a'), "").find(Cp("59 Кб = 1.5 авт")),
              std::string::npos);
}
