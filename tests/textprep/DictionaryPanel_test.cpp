#include "TestFolder.h"

#include "base/Cp1251.h"
#include "textprep/DictionaryPanel.h"

using namespace vocalix::textprep;
using vocalix::base::Cp;

TEST(DictionaryPanel, ItemsSortWithoutRegardToCase) {
    std::vector<std::string> names{"b.dic",      "A.dic",      Cp("ёж.dic"), Cp("Жук.dic"),
                                   Cp("еж.ini"), "abbrev.ini", "a.dic"};
    SortDictionaryNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"A.dic", "a.dic", "abbrev.ini", "b.dic",
                                               Cp("еж.ini"), Cp("ёж.dic"), Cp("Жук.dic")}));
}

TEST(DictionaryPanel, ChecksAndSelection) {
    const std::vector<std::string> items{"A.dic", "b.dic", "rules.ini"};
    std::vector<bool> checks;
    SetChecks(items, checks, "B.DIC+missing.dic");
    EXPECT_EQ(checks, (std::vector<bool>{false, true, false}));
    // Never clears a check mark.
    SetChecks(items, checks, "");
    EXPECT_EQ(checks, (std::vector<bool>{false, true, false}));
    checks[0] = true;
    EXPECT_EQ(CheckedItemsToStr(items, checks), "A.dic+b.dic");
    EXPECT_EQ(CheckedItemsToStr(items, {false, false, false}), "");
    EXPECT_EQ(DicButtonHint("A.dic+b.dic"), Cp("Словари|A.dic+b.dic"));
}

TEST(DictionaryPanel, PictureFolders) {
    TestProgramFolder folder;
    const auto dir = folder.Dir();
    std::filesystem::create_directories(dir / "book.files");
    std::filesystem::create_directories(dir / (std::string("Книга") + "_files"));
    EXPECT_TRUE(HasPictureFolder((dir / "book.fb2").string()));
    EXPECT_TRUE(HasPictureFolder(Cp((dir / "Книга.htm").string())));
    EXPECT_FALSE(HasPictureFolder((dir / "other.fb2").string()));
    EXPECT_FALSE(HasPictureFolder(""));
}
