#include "base/Cp1251.h"
#include "base/QtText.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace vocalix::base;

TEST(Cp1251, EveryByteSurvivesTheRoundTripThroughUtf8AndQString) {
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
    EXPECT_EQ(FromQString(ToQString(all)), all);
}

TEST(Cp1251, RussianLettersAndPunctuation) {
    EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
    EXPECT_EQ(Utf8ToCp1251("Ёлка ёж — «№»…"), "\xA8\xEB\xEA\xE0 \xB8\xE6 \x97 \xAB\xB9\xBB\x85");
}

TEST(Cp1251, CharactersTheCodePageLacksBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("日本 ä"), "?? ?");
    EXPECT_EQ(Utf8ToCp1251("😀"), "?");
    EXPECT_EQ(FromQString(QString::fromUtf8("a😀b")), "a?b");
    // Malformed and truncated UTF-8 does not swallow the following text.
    EXPECT_EQ(Utf8ToCp1251("\xFF"
                           "a\xD0"),
              "?a?");
    EXPECT_EQ(Utf8ToCp1251("\xD0"
                           "a"),
              "?a");
}

// Pasted or read text keeps a stress mark over a vowel as "+" before it.
TEST(Cp1251, AcuteOverAVowelBecomesThePlusBeforeIt) {
    EXPECT_EQ(Utf8ToCp1251("за\xCC\x81мок"), "\xE7+\xE0\xEC\xEE\xEA");
    EXPECT_EQ(FromQString(QString::fromUtf8("О\xCC\x81\xCC\x81")), "+\xCE");
    EXPECT_EQ(Utf8ToCp1251("\xCC\x81 n\xCC\x81"), "? n?"); // nothing to stress
}

TEST(Cp1251, LineEndsBecomeCrLf) {
    EXPECT_EQ(ToCrLf("a\nb\r\nc\rd\n\n"), "a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_EQ(ToCrLf(""), "");
    // Widened from the back in place: pairs, lone ends at both edges, runs of them.
    for (const auto& [in, out] :
         std::vector<std::pair<std::string, std::string>>{{"\r\r\n\n\r", "\r\n\r\n\r\n\r\n"},
                                                          {"\nab\r", "\r\nab\r\n"},
                                                          {"x\r\ny\r\n", "x\r\ny\r\n"},
                                                          {"\n\r\n\r", "\r\n\r\n\r\n"}}) {
        EXPECT_EQ(ToCrLf(in), out);
        std::string text = in;
        ToCrLfInPlace(text);
        EXPECT_EQ(text, out);
    }
}
