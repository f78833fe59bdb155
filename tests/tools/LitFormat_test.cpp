#include "tools/LitFormat.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace {

using vocalix::base::Cp;
namespace t = vocalix::tools;

// Always the first candidate: repeatable justification.
size_t First(size_t) {
    return 0;
}

// Cycles through the candidates.
t::RandomIndex Cycling() {
    auto next = std::make_shared<size_t>(0);
    return [next](size_t n) { return (*next)++ % n; };
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 2;
    }
}

TEST(LitFormat, LayoutCases) {
    struct Case {
        const char* name;
        const char* in;
        int maxLen;
        const char* out;
    };
    const Case cases[] = {
        {"rewrap", "aaa bbb\r\nccc ddd eee", 12, "aaa bbb ccc \r\nddd eee "},
        {"no limit: a paragraph on one line", "aaa bbb\r\nccc ddd eee", 0, "aaa bbb ccc ddd eee "},
        {"common indentation removed", "  aaa\r\n  bbb", 76, "aaa bbb "},
        {"dialogue lines start paragraphs", "  aaa\r\n  — bbb\r\n  ccc", 76,
         "aaa \r\n    - bbb ccc "},
        {"first line indented", "  aaa\r\nbbb", 76, "\r\n    aaa bbb "},
        {"three empty lines become two", "aaa bbb\r\n\r\n\r\n\r\nccc", 76,
         "aaa bbb \r\n\r\n\r\nccc "},
        {"an empty line among the first tokens writes no break", "\r\naaa", 76, "aaa "},
        {"marker words", "aaa _E_ bbb", 76, "aaa \r\nbbb "},
        {"a last line of one character", "aaa\r\nb", 76, "aaa b "},
        {"a long word after an indent goes to a new line", "   aaaaaaaaaa\r\nb", 8,
         "\r\n    \r\naaaaaaaaaa \r\nb "},
        {"typography", "«x» … © \xc2\xa0y", 76, "\"x\" ... (c) y "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        t::LitTextSettings s;
        s.MaxLen = c.maxLen;
        EXPECT_EQ(t::FormatLiteraryText(Cp(c.in), s, First), Cp(c.out));
    }
}

TEST(LitFormat, LongWordsAreCarriedThrough) {
    const std::string longWord(150, 'x');
    t::LitTextSettings s;
    s.MaxLen = 20;
    s.RightJustify = true;
    const std::string out = t::FormatLiteraryText("aa " + longWord + " bb cc\r\ndd", s, First);
    // A word alone on a justified line takes the padding itself.
    EXPECT_EQ(out, "aa" + std::string(18, ' ') + "\r\n" + longWord + "\r\nbb cc dd ");
    EXPECT_EQ(t::JustifyLine("a " + longWord, 160, First), "a" + std::string(9, ' ') + longWord);
}

TEST(LitFormat, RightJustification) {
    t::LitTextSettings s;
    s.MaxLen = 20;
    s.RightJustify = true;
    const std::string text = Cp("  Один два три четыре пять шесть семь восемь девять десять\r\n"
                                "  Новый абзац тут и ещё слова до конца");
    const auto lines = Lines(t::FormatLiteraryText(text, s, Cycling()));
    ASSERT_GE(lines.size(), 6u);
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        const std::string& next = lines[i + 1];
        if (lines[i].empty())
            continue;
        if (!next.empty() && next[0] != ' ') {
            // Inside a paragraph: exactly the width, no trailing space.
            EXPECT_EQ(lines[i].size(), 20u);
            EXPECT_NE(lines[i].back(), ' ');
        } else {
            // The last line of a paragraph keeps single spaces.
            EXPECT_EQ(lines[i].find("  ", 4), std::string::npos);
        }
    }
    // MaxLen 0 never justifies.
    s.MaxLen = 0;
    EXPECT_EQ(t::FormatLiteraryText("a b\r\nc", s, First), "a b c ");
}

// The preferences accept any digits: a huge indent or width is laid out as the largest one
// instead of lines of gigabytes.
TEST(LitFormat, HugeIndentAndWidthAreBounded) {
    t::LitTextSettings s;
    s.Parag = 2147483647;
    s.MaxLen = 2147483646;
    s.RightJustify = true;
    const std::string text = Cp("- Реплика.\r\nСлово за словом\r\nи ещё слово");
    const std::string out = t::FormatLiteraryText(text, s, First);
    EXPECT_LT(out.size(), 3u * t::kMaxLayoutWidth);
    EXPECT_NE(out.find(std::string(t::kMaxLayoutWidth, ' ') + "\r\n- "), std::string::npos);
    EXPECT_NE(out.find(Cp("Реплика. Слово за словом и ещё слово")), std::string::npos);
}

TEST(LitFormat, JustifyLine) {
    EXPECT_EQ(t::JustifyLine("a b c", 9, Cycling()), "a   b   c");
    EXPECT_EQ(t::JustifyLine("a b c", 8, First), "a    b c");
    EXPECT_EQ(t::JustifyLine("   ", 8, First), "");
    EXPECT_EQ(t::JustifyLine("word", 6, First), "word  ");
    EXPECT_EQ(t::JustifyLine("a  b  c", 3, First), "a b c");
    // Only lone dashes could take a space: the line stays as it is.
    EXPECT_EQ(t::JustifyLine("- word", 10, First), "- word");
    EXPECT_EQ(t::JustifyLine("- - x", 7, First), "- - x");
    EXPECT_EQ(t::JustifyLine("- a b", 7, First), "- a   b");
}

TEST(LitFormat, ShiftWholeText) {
    struct Case {
        const char* in;
        int direction;
        const char* out;
    };
    const Case cases[] = {
        {"a\r\nb", 1, " a\r\n b"},
        {"\r\nb", 1, "\r\n b"},
        {"", 1, ""},
        {" a\r\n  b\r\nc", -1, "a\r\n b\r\nc"},
        {"a", -1, "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        const t::ShiftResult r = t::TextHorizontalMove(c.in, 0, 0, c.direction);
        EXPECT_EQ(r.text, c.out);
        EXPECT_FALSE(r.setSelection);
    }
}

TEST(LitFormat, ShiftSelectedLinesKeepsThemSelected) {
    const std::string text = "aa\r\nbb\r\ncc\r\ndd";
    // "bb\r\ncc\r\n" selected from its line start.
    t::ShiftResult r = t::TextHorizontalMove(text, 4, 8, 1);
    EXPECT_EQ(r.text, "aa\r\n bb\r\n cc\r\ndd");
    EXPECT_EQ(r.text.substr(static_cast<size_t>(r.selStart), static_cast<size_t>(r.selLength)),
              " bb\r\n cc\r\n");
    r = t::TextHorizontalMove(r.text, r.selStart, r.selLength, -1);
    EXPECT_EQ(r.text, text);
    // From the very start of the text.
    r = t::TextHorizontalMove(text, 0, 8, 1);
    EXPECT_EQ(r.text, " aa\r\n bb\r\ncc\r\ndd");
    EXPECT_EQ(r.selStart, 0);
    EXPECT_EQ(r.text.substr(0, static_cast<size_t>(r.selLength)), " aa\r\n bb\r\n");
}

} // namespace

namespace {

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : text + " ") {
        if (c == ' ' || c == '\r' || c == '\n') {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

TEST(LitFormat, RealBookKeepsEveryWordAndTheWidth) {
    std::string book;
    ASSERT_TRUE(vocalix::base::ReadFileBytes(std::filesystem::path(VOCALIX_CORPUS_DIR) /
                                                 "text/books/tolstoy_anna_karenina.cp1251.txt",
                                             book));
    book.resize(300000);
    t::LitTextSettings s;
    s.RightJustify = true;
    const std::string out = t::FormatLiteraryText(book, s, vocalix::tools::SeededRandomIndex(7));
    EXPECT_EQ(Words(out), Words(t::NormaliseTypography(book)));
    for (const std::string& line : Lines(out)) {
        if (line.find(' ', 4) != std::string::npos) { // more than one word
            EXPECT_LE(line.size(), 77u) << line;
        }
    }
}

} // namespace
