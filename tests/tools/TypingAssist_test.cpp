#include "tools/TypingAssist.h"

#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using vocalix::base::Cp;
namespace t = vocalix::tools;

// A page as a string: typing inserts at the caret after the key-press work, as the editor does.
class StringText : public t::TypingText {
public:
    int Caret() const override { return caret; }
    char CharAt(int offset) const override { return text.at(static_cast<size_t>(offset)); }
    void Replace(int start, int length, std::string_view s) override {
        text.replace(static_cast<size_t>(start), static_cast<size_t>(length), s);
    }
    void SetCaret(int offset) override { caret = offset; }

    // Types cp1251 characters one by one; Enter is "\r" and inserts CR LF.
    void Type(const std::string& keys) {
        for (const char c : keys) {
            t::TypingKeyPress(*this, c, lastKey, settings,
                              [this](const std::string& s) { spoken.push_back(s); });
            const std::string insert = c == '\r' ? std::string("\r\n") : std::string(1, c);
            text.insert(static_cast<size_t>(caret), insert);
            caret += static_cast<int>(insert.size());
        }
    }

    std::string text;
    int caret = 0;
    char lastKey = 0;
    t::TypingSettings settings;
    std::vector<std::string> spoken;
};

TEST(TypingAssist, BookTypographyAndIndent) {
    struct Case {
        const char* keys;
        const char* result;
    };
    const Case cases[] = {
        {"a - b", "a – b"},     {"\"word\" x", "«word» x"}, {"x \"y\".", "x «y»."},
        {"Ну... да", "Ну… да"}, {"Ну..да", "Ну..да"},       {"a\r b", "a\r\n    b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        StringText page;
        page.settings.AutoRepl = true;
        page.settings.AutoParag = true;
        page.Type(Cp(c.keys));
        EXPECT_EQ(page.text, Cp(c.result));
        EXPECT_EQ(page.caret, static_cast<int>(page.text.size()));
    }
    // A minus after the caret was moved away (lastKey reset) stays a minus.
    StringText page;
    page.settings.AutoRepl = true;
    page.Type("a-");
    page.lastKey = 0;
    page.Type(" ");
    EXPECT_EQ(page.text, "a- ");
}

TEST(TypingAssist, CapitalsAtSentenceStarts) {
    struct Case {
        const char* keys;
        const char* result;
    };
    const Case cases[] = {
        {"начало. ещё слово ", "Начало. Ещё слово "},
        {"раз, два ", "Раз, два "},
        {"конец! «цитата» ", "Конец! «Цитата» "},
        {"abc?\r\r\rdef ", "Abc?\r\n\r\n\r\nDef "},
        {"А уже ", "А уже "},
        {"т.е. так ", "Т.е. Так "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        StringText page;
        page.settings.AutoCap = true;
        page.Type(Cp(c.keys));
        EXPECT_EQ(page.text, Cp(c.result));
    }
}

TEST(TypingAssist, ReadsFinishedSentencesAndParagraphs) {
    StringText page;
    page.settings.AutoAloud = true;
    page.settings.AutoRepeat = 2;
    page.Type("One two. Three\rfour!");
    EXPECT_EQ(page.text, "One two. Three\r\nfour!");
    ASSERT_EQ(page.spoken.size(), 2u);
    EXPECT_EQ(page.spoken[0], " One two  One two");
    EXPECT_EQ(page.spoken[1], " Three  four  Three  four");

    StringText para;
    para.settings.AutoAloud = true;
    para.settings.AutoAloudP = false;
    para.settings.AutoAloudA = true;
    para.Type("  First line.\r  Second. More\r\r");
    // Enter and a space end the first paragraph, two Enters the second.
    ASSERT_EQ(para.spoken.size(), 2u);
    EXPECT_EQ(para.spoken[0], "   First line.  ");
    EXPECT_EQ(para.spoken[1], " Second. More  ");
}

} // namespace
