#include "documents/HtmlToText.h"

#include "DocumentsTestUtil.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>

using namespace vocalix::documents;
using vocalix::base::Cp;
namespace t = vocalix::documents::test;

namespace {
std::string Convert(std::string_view html) {
    std::vector<std::string> pictures;
    return HtmlToText(html, pictures);
}
} // namespace

TEST(HtmlToText, Table) {
    const std::pair<std::string, std::string> cases[] = {
        {"a &amp; b", "a & b"},
        {"&AMP;", "&"},
        {"&#169;", "#169;"},
        {Cp("замо&#769;к ма&#X301;м&#769;"), Cp("зам+ок м+ам")}, // stress marks
        {"&copy;&nbsp;&lt;&gt;&quot;&ndash;&mdash;&laquo;&raquo;&hellip;", "(c) <>\"--\"\"..."},
        {"&unknown; x", "unknown; x"},
        {"tail &am", "tail am"},
        {"x<p>y", "x\r\ny"},
        {"x<P>y", "x\r\ny"},
        {"x<p class=a>y", "xy"},
        {"x</p><br>y", "xy"},
        {"<script>if(a<b)</script>z", "z"},
        {"<SCRIPT>document.write(\"<p>&laquo;\")</SCRIPT>z", "z"},
        {"<!-- <p> comment -->t", "t"},
        {"<style>p { color: red }</style>s", "s"},
        {"<idea>kept</idea> after", " after"}, // "<id" is a prefix test
        {"<author><first-name>A</first-name></author>Text", "Text"},
        {"a\tb\x96\x97\x84\x93\xAB\xBB\x85\xA9", "a b--\"\"\"\"...(c)"},
        {"\x94 stays", "\x94 stays"},
        {"line1\r\nline2", "line1\r\nline2"},
        {"unclosed <b", "unclosed "},
        {"<script>never closed", "never closed"}, // stays in markup until the next ">"
        {"<script>never closed> rest", "never closed> rest"},
        {"a > b", "a > b"},
        {"<p>", "\r\n"},
        {"<p", ""},
        {"", ""},
    };
    for (const auto& [html, text] : cases)
        EXPECT_EQ(Convert(html), text) << html;
}

TEST(HtmlToText, BinaryElementsBecomePictureItems) {
    std::vector<std::string> pictures{"stale"};
    const std::string text = HtmlToText("<p>A</p><BINARY id=\"c.png\" content-type=\"image/png\">"
                                        "QUJD</binary><binary id=x>QQ==</binary>B",
                                        pictures);
    EXPECT_EQ(text, "\r\nAB");
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0], "<binary id=\"c.png\" content-type=\"image/png\">QUJD<");
    EXPECT_EQ(pictures[1], "<binary id=x>QQ==<");
}

TEST(HtmlToText, BrokenBinaryElementsAddNothing) {
    std::vector<std::string> pictures;
    EXPECT_EQ(HtmlToText("<binary id=1 QUJD", pictures), "");
    EXPECT_TRUE(pictures.empty());
    EXPECT_EQ(HtmlToText("<binary id=1>QUJD", pictures), "QUJD");
    EXPECT_TRUE(pictures.empty());
    EXPECT_EQ(HtmlToText("<binary></binary>x", pictures), "x");
    ASSERT_EQ(pictures.size(), 1u); // the content is the "<" of the closing tag
}

TEST(HtmlToText, ManyUnclosedElementsStayLinear) {
    std::string page;
    for (int i = 0; i < 200000; ++i)
        page += "<id<script<binary x";
    page += "end";
    std::vector<std::string> pictures;
    EXPECT_EQ(HtmlToText(page, pictures), ""); // all inside markup: no ">" anywhere
}

TEST(Base64Decode, Table) {
    const std::pair<std::string, std::string> cases[] = {
        {"QUJD", "ABC"},        {"QUI=", "AB"},           {"QQ==", "A"},     {"QUJ", ""},
        {"QU\r\nJD", "ABC"},    {"Q!U@J#D", "ABC"},       {"QQ==QUJD", "A"}, {"", ""},
        {"YWJjZGVm", "abcdef"}, {"+/+/", "\xFB\xFF\xBF"}, {"=QUJD", ""}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(Base64Decode(in), out) << in;
}

TEST(PictureExtension, LaterTypesWin) {
    EXPECT_EQ(PictureExtension("<binary content-type=\"image/png\">"), ".png");
    EXPECT_EQ(PictureExtension("<binary content-type=\"image/jpeg\">"), ".jpeg");
    EXPECT_EQ(PictureExtension("<binary content-type=\"image/jpg\">"), ".jpg");
    EXPECT_EQ(PictureExtension("<binary content-type=\"image/svg\">"), ".???");
    EXPECT_EQ(PictureExtension("image/gif image/jpg"), ".gif");
}

TEST(SavePictures, NumbersFollowListPositionsAndSkipUnknownTypes) {
    t::TempDir dir;
    const std::vector<std::string> pictures = {
        "<binary content-type=\"image/svg\">QUJD<",
        "<binary content-type=\"image/png\">QUJD<",
        "<binary content-type=\"image/gif\" no-close",
    };
    std::string error;
    ASSERT_TRUE(SavePictures(pictures, dir.path() / "book.files", &error)) << error;
    EXPECT_EQ(dir.Read("book.files/Image-2.png"), "ABC");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "book.files/Image-1.???"));
    // The third has no ">" at all: skipped.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "book.files"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(SavePictures, FolderThatCannotBeCreatedIsReported) {
    t::TempDir dir;
    const std::string blocker = dir.File("book.files", "a file in the way");
    std::string error;
    EXPECT_FALSE(SavePictures({"<binary content-type=\"image/png\">QUJD<"}, blocker, &error));
    EXPECT_NE(error.find(Cp("Не удалось создать папку")), std::string::npos);
}

TEST(CorpusHtml, PagesLeaveNoMarkupAndKeepTheText) {
    VOCALIX_NEED_CORPUS();
    std::string page = t::CorpusFile("html/chekhov_dama_s_sobachkoy.cp1251.html");
    const std::string text = Convert(page);
    EXPECT_NE(text.find(Cp("Говорили, что на набережной появилось новое лицо")), std::string::npos);
    EXPECT_NE(text.find(Cp("\"Если она здесь без мужа и без знакомых, - соображал Гуров")),
              std::string::npos);
    for (const char* leak : {"<", "document.write", "&laquo", "color:", "-->"})
        EXPECT_EQ(text.find(leak), std::string::npos) << leak;
}
