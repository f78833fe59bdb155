#include "tools/FreshEye.h"

#include "base/Cp1251.h"

#include <gtest/gtest.h>

using vocalix::base::Cp;
using namespace vocalix::tools;

namespace {

// The context lines of a report, without its two header lines.
std::string Finds(const std::string& text, int deep = 11, double similarity = 50) {
    const std::string r = FreshEyeReport(Cp(text), "t.txt", {deep, similarity});
    const size_t body = r.find("\r\n\r\n");
    return vocalix::base::Cp1251ToUtf8(r.substr(body + 4));
}

} // namespace

TEST(FreshEye, SubstringShareAndSimilarity) {
    struct Case {
        const char *a, *b;
        double share, similarity;
    };
    const Case cases[] = {
        {"кот", "КОТ", 1, 1},    {"", "кот", 0, 0},
        {"abc", "ab", 0.5, 1},   {"молоко", "молоток", 0.8, 0.8},
        {"кошка", "спит", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " " + c.b);
        EXPECT_DOUBLE_EQ(SubstringShare(Cp(c.a), Cp(c.b), 3), c.share);
        EXPECT_DOUBLE_EQ(WordSimilarity(Cp(c.a), Cp(c.b), 3), c.similarity);
    }
}

TEST(FreshEye, WholeReport) {
    const std::string r =
        FreshEyeReport(Cp("кошка спит кошка\r\n\r\n друг друга дом"), Cp("Кот.txt"), {4, 50});
    EXPECT_EQ(r, Cp("# Свежий взгляд на текст \"Кот.txt\"\r\n"
                    "# Слов: 6. Найдено повторов, тавтологий и созвучий: 1\r\n\r\n"
                    "кошка спит {кошка} _E_\r\n\r\n"));
}

TEST(FreshEye, WhatIsMarked) {
    struct Case {
        const char* text;
        int deep;
        double similarity;
        const char* finds;
    };
    const Case cases[] = {
        // Words of one or two letters, stop words and exception pairs are never marked.
        {"он он что что друг друга если если", 11, 50, ""},
        // The exception pair in the other order is compared as usual.
        {"друга друг", 3, 50, "друга {друг} \r\n\r\n"},
        // Near-rhymes by their share of common substrings.
        {"молоко, молоток", 2, 80, "молоко, {молоток}\r\n\r\n"},
        {"молоко, молоток", 2, 81, ""},
        // Ten tokens ahead is inside the default window, eleven is not.
        {"слово 1 2 3 4 5 6 7 8 9 слово.", 11, 50, "слово 1 2 3 4 5 6 7 8 9 {слово.}\r\n\r\n"},
        {"слово 1 2 3 4 5 6 7 8 9 10 слово", 11, 50, ""},
        // A brace in a token brings its line in without a find.
        {"x{y z", 3, 50, "x{y z \r\n\r\n"},
        // No window at all.
        {"кошка кошка", 0, 50, ""},
        {"кошка кошка", -3, 50, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Finds(c.text, c.deep, c.similarity), c.finds);
    }
    // A depth beyond the preferences' range (typed into the settings file) is the largest one,
    // not a line with billions of places.
    EXPECT_EQ(Finds("кошка кошка", 2147483647),
              "кошка {кошка}" + std::string(kMaxFreshEyeDeep - 2, ' ') + "\r\n\r\n");
}

// The report marks a pair exactly when WordSimilarity of the two exceeds the threshold, also
// for words that repeat their pieces and at thresholds right at a share.
TEST(FreshEye, MarksAgreeWithWordSimilarity) {
    const char* pairs[][2] = {
        {"молоко", "молоток"}, {"ааааа", "ааа"},    {"абаба", "бабаб"},
        {"колокол", "около"},  {"Парапет", "пара"}, {"xyzxyz", "zyx"},
    };
    for (const auto& [a, b] : pairs)
        for (const double similarity : {0.0, 20.0, 50.0, 60.0, 80.0, 100.0}) {
            SCOPED_TRACE(std::string(a) + " " + b + " " + std::to_string(similarity));
            const bool similar = WordSimilarity(Cp(a), Cp(b), 3) * 100 > similarity - 0.001;
            EXPECT_EQ(Finds(std::string(a) + " " + b, 2, similarity),
                      similar ? std::string(a) + " {" + b + "}\r\n\r\n" : "");
        }
}
