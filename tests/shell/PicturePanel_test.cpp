#include "shell/PicturePanel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using vocalix::shell::ListPictures;
using vocalix::shell::PicturePanel;

namespace {

class Pictures : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vocalix-pic-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    void Touch(const fs::path& p) {
        fs::create_directories(p.parent_path());
        std::ofstream(p) << "x";
    }
    std::vector<std::string> Names(const std::vector<fs::path>& list) {
        std::vector<std::string> names;
        for (const auto& p : list)
            names.push_back(p.filename().string());
        return names;
    }
    fs::path dir;
};

TEST_F(Pictures, ListedWithoutRegardToCaseAndOnlyPictures) {
    for (const char* n :
         {"Image-2.png", "Image-10.PNG", "Image-1.png", "a.GIF", "style.css", "b.jpeg"})
        Touch(dir / "t.files" / n);
    EXPECT_EQ(Names(ListPictures(dir / "t.files")),
              (std::vector<std::string>{"a.GIF", "b.jpeg", "Image-1.png", "Image-10.PNG",
                                        "Image-2.png"}));
}

TEST_F(Pictures, FolderIndexAndWrapping) {
    for (const char* n : {"1.png", "2.png", "3.png"})
        Touch(dir / "t_files" / n);
    Touch(dir / "t.files" / "other.png");
    PicturePanel panel;
    ASSERT_TRUE(panel.Refresh(dir / "t.txt", 7)); // name_files wins over name.files
    EXPECT_EQ(panel.Folder(), dir / "t_files");
    EXPECT_EQ(panel.Index(), 2);
    panel.Next();
    EXPECT_EQ(panel.Index(), 0);
    panel.Prev();
    EXPECT_EQ(panel.Index(), 2);
    ASSERT_TRUE(panel.Refresh(dir / "t.txt", -3));
    EXPECT_EQ(panel.Index(), 0);
}

// Only an empty picture folder is cleared away; "delete all" takes the pictures and leaves
// what a saved web page keeps beside them.
TEST_F(Pictures, NothingButPicturesAndEmptyFoldersIsRemoved) {
    fs::create_directories(dir / "a.files");
    Touch(dir / "b_files" / "page.css");
    PicturePanel panel;
    EXPECT_FALSE(panel.Refresh(dir / "a.txt", 0));
    EXPECT_FALSE(fs::exists(dir / "a.files"));
    EXPECT_FALSE(panel.Refresh(dir / "b.txt", 0));
    EXPECT_TRUE(fs::exists(dir / "b_files" / "page.css"));

    Touch(dir / "b_files" / "p.jpg");
    ASSERT_TRUE(panel.Refresh(dir / "b.txt", 0));
    EXPECT_TRUE(panel.DeleteAll());
    EXPECT_TRUE(panel.Empty());
    EXPECT_TRUE(fs::exists(dir / "b_files" / "page.css"));
    EXPECT_FALSE(fs::exists(dir / "b_files" / "p.jpg"));

    Touch(dir / "c.files" / "only.bmp");
    ASSERT_TRUE(panel.Refresh(dir / "c.txt", 0));
    EXPECT_TRUE(panel.DeleteAll());
    EXPECT_FALSE(fs::exists(dir / "c.files"));
    EXPECT_FALSE(vocalix::shell::DeleteDirectory(dir / "missing"));
}

} // namespace
