#include "documents/DocumentFiles.h"

#include "DocumentsTestUtil.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>

using namespace vocalix::documents;
using vocalix::base::Cp;
namespace t = vocalix::documents::test;
namespace fs = std::filesystem;

TEST(NameFromFirstLines, Table) {
    const std::pair<std::string, std::string> cases[] = {
        {Cp("\r\n  \t\r\n  Глава 1. Начало\r\nдальше"), Cp("Глава 1")},
        {"!!!\r\nsecond", "Untitled"},
        {std::string(100, '\xE0'), std::string(64, '\xE0')},
        {"", "Untitled"},
        {"\r\n\r\n   \r\n", "Untitled"},
        {Cp("Ёлка ёж: зима"), Cp("Ёлка ёж")},
        {"a/b\\c*d \"e\" f_g-h", "abcd e f_g-h"},
        {Cp("«Кавычки» и №5"), Cp("Кавычки и 5")},
        {"\"\" ,x", "Untitled"}, // only spaces left
        {"Hi there   ", "Hi there"},
        {"single line no end", "single line no end"},
        {"\x01\x02 abc\x03", "abc"},
    };
    for (const auto& [text, name] : cases)
        EXPECT_EQ(NameFromFirstLines(text), name) << text;
}

TEST(FileNames, ExtensionsAreTheLastComponentsOnly) {
    EXPECT_EQ(LowerExtension("/a/Book.FB2"), ".fb2");
    EXPECT_EQ(LowerExtension("/a.b/book"), "");
    EXPECT_EQ(LowerExtension("/a/file."), ".");
    EXPECT_EQ(ChangeFileExt("/a.b/book", ".txt"), "/a.b/book.txt");
    EXPECT_EQ(ChangeFileExt("/a/book.html", ".txt"), "/a/book.txt");
    EXPECT_EQ(ChangeFileExt("/a/book.html", ""), "/a/book");
}

TEST(CopyDirectory, CopiesRecursivelyAndRespectsOverwrite) {
    t::TempDir dir;
    dir.File("src/a.txt", "A");
    dir.File("src/sub/b.png", "B");
    dir.File("dst/a.txt", "old");
    EXPECT_TRUE(CopyDirectory(dir.path() / "src", dir.path() / "dst", false, false));
    EXPECT_EQ(dir.Read("dst/a.txt"), "old"); // kept: no overwrite, counts as success
    EXPECT_EQ(dir.Read("dst/sub/b.png"), "B");
    EXPECT_TRUE(CopyDirectory(dir.path() / "src", dir.path() / "deep/new/dst", true, true));
    EXPECT_EQ(dir.Read("deep/new/dst/a.txt"), "A");
    EXPECT_FALSE(CopyDirectory(dir.path() / "missing", dir.path() / "x", true, true));
    fs::create_directories(dir.path() / "empty");
    EXPECT_FALSE(CopyDirectory(dir.path() / "empty", dir.path() / "y", true, true));
}
