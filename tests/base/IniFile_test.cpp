#include "base/AtomicFile.h"
#include "base/IniFile.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vocalix::base;
namespace fs = std::filesystem;

TEST(IniFile, NamesMatchWithoutCaseAndOrderOfFirstAppearanceIsKept) {
    IniFile ini;
    ini.Parse("[Text]\r\nScale=120\r\nwordwrap=1\r\n\r\n[Form]\nWidth=800\n");
    EXPECT_EQ(ini.ReadInteger("TEXT", "SCALE", 100), 120);
    EXPECT_TRUE(ini.ReadBool("text", "WordWrap", false));
    ini.WriteInteger("form", "Height", 600);
    ini.WriteString("Others", "GKName", "<\xED\xE5\xF2>");
    ini.WriteInteger("Text", "Scale", 90);
    EXPECT_EQ(ini.Serialize(), "[Text]\r\nScale=90\r\nwordwrap=1\r\n\r\n"
                               "[Form]\r\nWidth=800\r\nHeight=600\r\n\r\n"
                               "[Others]\r\nGKName=<\xED\xE5\xF2>\r\n\r\n");
}

TEST(IniFile, InvalidOrMissingIntegersReadAsTheDefault) {
    IniFile ini;
    ini.Parse("[S]\nA=12x\nB=\nC= -7 \nD=99999999999\nE=0\nF=+5\n");
    EXPECT_EQ(ini.ReadInteger("S", "A", 3), 3);
    EXPECT_EQ(ini.ReadInteger("S", "B", 3), 3);
    EXPECT_EQ(ini.ReadInteger("S", "C", 3), -7);
    EXPECT_EQ(ini.ReadInteger("S", "D", 3), 3);
    EXPECT_EQ(ini.ReadInteger("S", "Missing", 3), 3);
    EXPECT_EQ(ini.ReadInteger("S", "F", 3), 5);
    EXPECT_FALSE(ini.ReadBool("S", "E", true));
    EXPECT_TRUE(ini.ReadBool("S", "A", true));
    EXPECT_FALSE(ini.ReadBool("S", "A", false));
    EXPECT_TRUE(ini.ReadBool("S", "C", false));
}

TEST(IniFile, SaveIsAtomicAndRoundTrips) {
    const fs::path dir = fs::temp_directory_path() / ("vocalix-ini-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "$.ini";
    IniFile ini;
    EXPECT_FALSE(ini.Load(file)); // missing file reads as empty
    ini.WriteString("SpeechEngine", "Dictionary", "a.dic+b.ini");
    ASSERT_TRUE(ini.Save(file));
    IniFile again;
    ASSERT_TRUE(again.Load(file));
    EXPECT_EQ(again.Serialize(), ini.Serialize());
    // No temporary files are left beside the target.
    int count = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++count;
    EXPECT_EQ(count, 1);
    // A folder that cannot be written leaves the target untouched and reports the failure.
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(dir / "no-such-folder" / "x", "data", &error));
    EXPECT_FALSE(error.empty());
    fs::remove_all(dir);
}

TEST(IniFile, NamesStillMatchAfterErasingAndCopying) {
    IniFile ini;
    ini.Parse("[A]\nk1=1\nK2=2\nk3=3\n[\xB8\xEB\xEA\xE0]\nx=1\n[B]\ny=2\n");
    ini.EraseKey("a", "K1");
    ini.EraseSection("\xA8\xCB\xCA\xC0"); // the Cyrillic name in the other case
    const IniFile copy = ini;
    for (const IniFile* f : {static_cast<const IniFile*>(&ini), &copy}) {
        EXPECT_FALSE(f->HasKey("A", "k1"));
        EXPECT_EQ(f->ReadInteger("A", "k2", 0), 2);
        EXPECT_EQ(f->ReadInteger("a", "K3", 0), 3);
        EXPECT_EQ(f->ReadInteger("b", "Y", 0), 2);
    }
    ini.WriteInteger("B", "y", 5);
    ini.WriteInteger("A", "k3", 7);
    EXPECT_EQ(ini.Serialize(), "[A]\r\nK2=2\r\nk3=7\r\n\r\n[B]\r\ny=5\r\n\r\n");
    EXPECT_EQ(copy.ReadInteger("B", "y", 0), 2);
}
