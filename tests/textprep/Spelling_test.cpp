#include "textprep/Spelling.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using vocalix::base::Cp;
using namespace vocalix::textprep;
namespace fs = std::filesystem;

namespace {

class SpellingTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("vocalix-orfo-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_file = m_dir / std::string(kSpellingFileName);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // One add command: load with room, add, write.
    void Add(const char* utf8) {
        SpellingTable t;
        t.Load(m_file, kSpellingAddRoom);
        EXPECT_FALSE(SpellAddWords(t, Cp(utf8)).tableFull);
        ASSERT_TRUE(vocalix::base::WriteFileAtomic(m_file, t.Text()));
    }
    void Remove(const char* utf8) {
        SpellingTable t;
        t.Load(m_file, kSpellingAddRoom);
        SpellRemoveWords(t, Cp(utf8));
        ASSERT_TRUE(vocalix::base::WriteFileAtomic(m_file, t.Text()));
    }
    std::vector<std::string> Check(const char* utf8) {
        SpellingTable t;
        t.Load(m_file, 0);
        return SpellCheckWords(t, Cp(utf8));
    }
    std::string FileText() {
        std::string bytes;
        vocalix::base::ReadFileBytes(m_file, bytes);
        return bytes;
    }

    fs::path m_dir, m_file;
};

std::vector<std::string> CpList(std::initializer_list<const char*> words) {
    std::vector<std::string> out;
    for (const char* w : words)
        out.push_back(Cp(w));
    return out;
}

} // namespace

TEST(SpellingEntries, FlagsRoundTripAndRoles) {
    struct {
        const char* entry;
        const char* flags;
    } cases[] = {{"приве 8", "1000"}, {"ривет 6", "0110"}, {"abcde F", "1111"},
                 {"abcde 1", "0001"}, {"abcde 0", "0000"}, {"abcde f", "0000"},
                 {"abcde G", "0000"}, {"кот", "0000"},     {"abcde ", "0000"}};
    for (const auto& c : cases)
        EXPECT_EQ(FlagsOfEntry(Cp(c.entry)), c.flags) << c.entry;
    EXPECT_EQ(EntryOfFlags("1000"), "8");
    EXPECT_EQ(EntryOfFlags("0110"), "6");
    EXPECT_EQ(EntryOfFlags("1111"), "F");
    EXPECT_EQ(EntryOfFlags("0000"), "");
    // Exactly one role for each start position.
    EXPECT_EQ(RoleAt(1, 5), kRoleWhole);
    EXPECT_EQ(RoleAt(1, 6), kRoleStart);
    EXPECT_EQ(RoleAt(2, 6), kRoleEnd);
    EXPECT_EQ(RoleAt(2, 7), kRoleMiddle);
    EXPECT_EQ(RoleAt(3, 7), kRoleEnd);
    EXPECT_EQ(NormalizeSpellingWord(Cp("ЁлКа")), Cp("елка"));
}

TEST_F(SpellingTest, AddThenCheckFragmentsByRole) {
    Add("привет");
    EXPECT_EQ(FileText().size(), 2 * (5 + 2 + 2)); // 'приве 8' and 'ривет 2'
    EXPECT_TRUE(Check("привет Привет, «ПРИВЕТ!»").empty());
    // 'ривет' is known only as an ending; in 'приветствие' it stands inside.
    EXPECT_EQ(Check("ривет приветствие"), CpList({"приветствие", "ривет"}));
}

TEST_F(SpellingTest, YoIsStoredAsYe) {
    Add("ёлка");
    EXPECT_EQ(FileText(), Cp("елка\r\n"));
    EXPECT_TRUE(Check("Ёлка елка").empty());
}

TEST_F(SpellingTest, OnlyCleanCyrillicTokensAreAdded) {
    Add("Привет! кто-то word слово2");
    EXPECT_EQ(FileText(), "");
    // Checking takes the core and splits at hyphens; Latin and digits are passed over.
    EXPECT_EQ(Check("Привет! кто-то word слово2 — -"), CpList({"кто", "Привет", "то"}));
    Add("кто то");
    EXPECT_EQ(Check("кто-то"), CpList({}));
}

TEST_F(SpellingTest, MisspelledWordListedOnceWhateverItsCase) {
    Add("дом");
    EXPECT_EQ(Check("кошка Кошка КОШКА дом кошка"), CpList({"кошка"}));
}

TEST_F(SpellingTest, RemovingClearsRolesAndTombstonesAreNotWritten) {
    Add("привет");
    Remove("привет");
    EXPECT_EQ(FileText(), "");
    // Two words sharing 'ривет' as an ending: removing one removes that role for both.
    Add("привет скривет");
    ASSERT_TRUE(Check("привет скривет").empty());
    Remove("скривет");
    EXPECT_EQ(Check("привет"), CpList({"привет"}));
    EXPECT_EQ(FileText().find(Cp("ривет")), std::string::npos);
    EXPECT_NE(FileText().find(Cp("приве 8")), std::string::npos);
}

TEST_F(SpellingTest, MissingFileGivesAnEmptyTableThatAddingCreates) {
    SpellingTable t;
    t.Load(m_file, kSpellingAddRoom);
    EXPECT_EQ(t.Slots().size(), HashTableSize(kSpellingAddRoom));
    EXPECT_FALSE(SpellAddWords(t, Cp("кот")).tableFull);
    EXPECT_EQ(t.Text(), Cp("кот\r\n"));
}

TEST_F(SpellingTest, FullTableStopsAddingInsteadOfWritingOutside) {
    // A table loaded without room from a two-line file has HashTableSize(4) = 5 slots.
    ASSERT_TRUE(vocalix::base::WriteFileAtomic(m_file, Cp("кот\r\nпёс\r\n")));
    SpellingTable t;
    t.Load(m_file, 0);
    ASSERT_EQ(t.Slots().size(), 5u);
    const SpellingChange change = SpellAddWords(t, Cp("а б в г д е ж"));
    EXPECT_TRUE(change.tableFull);
    EXPECT_EQ(t.Slots().size(), 5u);
    for (const std::string& slot : t.Slots())
        EXPECT_FALSE(slot.empty());
}

TEST(SpellingReport, HeadingAndBody) {
    EXPECT_EQ(SpellingReportText("a.txt", {}), Cp("# Орфография в \"a.txt\"\r\n\r\nПравильно"));
    EXPECT_EQ(SpellingReportText("a.txt", CpList({"x", "y"})),
              Cp("# Орфография в \"a.txt\"\r\n\r\nx\r\ny\r\n"));
}
