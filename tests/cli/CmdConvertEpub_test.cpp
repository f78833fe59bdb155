#include "../documents/EpubTestBook.h"
#include "CliTestFixture.h"

#include "base/Cp1251.h"

#include <gtest/gtest.h>

using vocalix::base::Cp;
namespace fs = std::filesystem;
namespace t = vocalix::documents::test;

TEST_F(CliTest, ConvertEpubBookWithItsPictures) {
    const t::SourceBook source =
        t::LoadSourceBook(fs::path(VOCALIX_CORPUS_DIR) / "fb2" / "pushkin_pikovaya_dama.utf8.fb2");
    ASSERT_FALSE(source.pictures.empty());
    const fs::path book = dir / "Пиковая дама.epub";
    ASSERT_TRUE(t::WriteZip(book, t::MakeEpub(source, 3).entries));
    EXPECT_EQ(Run({"--set", "Text/PicImport=1", "convert", book.string()}), 0) << err.str();
    EXPECT_EQ(out.str(), (dir / "Пиковая дама.txt").string() + "\n");
    EXPECT_EQ(err.str(), "");
    const std::string text = Read(dir / "Пиковая дама.txt");
    EXPECT_EQ(text.rfind(Cp(source.title) + "\r\n", 0), 0u);
    EXPECT_NE(text.find(Cp("Однажды играли в карты у конногвардейца Нарумова.")),
              std::string::npos);
    EXPECT_EQ(Read(dir / "Пиковая дама.files" / "Image-1.jpeg"), source.pictures[0].bytes);

    // Text commands read the book the same way.
    EXPECT_EQ(Run({"changed-text", "-o", (dir / "same.txt").string(), book.string()}), 0)
        << err.str();
    EXPECT_EQ(Read(dir / "same.txt").substr(0, 2000), text.substr(0, 2000));
}
