#include "base/Cp1251.h"
#include "shell/RecentFiles.h"

#include <gtest/gtest.h>
#include <set>

using namespace vocalix::shell;

namespace {

std::string Name(int i) {
    return "/books/" + std::to_string(i) + ".txt";
}

std::vector<std::string> Names(std::initializer_list<int> ids) {
    std::vector<std::string> v;
    for (int i : ids)
        v.push_back(Name(i));
    return v;
}

} // namespace

TEST(RecentFiles, FirstFileOfAFreshInstallation) {
    RecentFiles r;
    r.Load("", [](const std::string&) { return true; });
    EXPECT_EQ(r.ItemCount(), 0);
    EXPECT_EQ(r.SaveText(), "");
    r.Change(Name(1));
    EXPECT_EQ(r.Entries(), Names({1}));
    EXPECT_TRUE(r.HasClearItem());
    EXPECT_EQ(r.ItemCount(), 3);
    EXPECT_EQ(r.SaveText(), Name(1) + "\r\n");
}

TEST(RecentFiles, LoadDropsBlankAndMissingAndKeepsFifteen) {
    std::string rec;
    for (int i = 1; i <= 20; ++i)
        rec += Name(i) + "\r\n";
    rec = "   \r\n" + Name(99) + "\r\n" + rec;
    RecentFiles r;
    r.Load(rec, [](const std::string& f) { return f != Name(99); });
    ASSERT_EQ(r.Entries().size(), 15u);
    EXPECT_EQ(r.Entries().front(), Name(1));
    EXPECT_EQ(r.Entries().back(), Name(15));
    EXPECT_EQ(r.ItemCount(), 17);
    std::string saved;
    for (int i = 1; i <= 15; ++i)
        saved += Name(i) + "\r\n";
    EXPECT_EQ(r.SaveText(), saved);
}

TEST(RecentFiles, AcceleratorOfAnOlderProgramIsDroppedOnlyWhenNeeded) {
    const std::set<std::string> existing = {"/a&b.txt", "/cd.txt"};
    RecentFiles r;
    r.Load("/a&b.txt\n/&cd.txt\n/&gone.txt\n",
           [&](const std::string& f) { return existing.count(f) > 0; });
    EXPECT_EQ(r.Entries(), (std::vector<std::string>{"/a&b.txt", "/cd.txt"}));
}

TEST(RecentFiles, ChangeMovesWithoutDuplicating) {
    RecentFiles r;
    r.Load(Name(1) + "\r\n" + Name(2) + "\r\n" + Name(3), [](const std::string&) { return true; });
    r.Change(Name(3));
    EXPECT_EQ(r.Entries(), Names({3, 1, 2}));
    r.Change(Name(4));
    EXPECT_EQ(r.Entries(), Names({4, 3, 1, 2}));
    r.Change("");
    EXPECT_EQ(r.Entries(), Names({4, 3, 1, 2}));
}

TEST(RecentFiles, SixteenItemsMakeTheOldestGiveWay) {
    RecentFiles r;
    for (int i = 14; i >= 1; --i)
        r.Change(Name(i));
    ASSERT_EQ(r.ItemCount(), 16); // 14 entries, separator, clearing entry
    r.Change(Name(15));
    EXPECT_EQ(r.ItemCount(), 16);
    EXPECT_EQ(r.Entries().front(), Name(15));
    EXPECT_EQ(r.Entries().back(), Name(13));
    // Fifteen loaded at start-up stay fifteen.
    RecentFiles loaded;
    std::string rec;
    for (int i = 1; i <= 15; ++i)
        rec += Name(i) + "\r\n";
    loaded.Load(rec, [](const std::string&) { return true; });
    loaded.Change(Name(16));
    EXPECT_EQ(loaded.Entries().size(), 15u);
    EXPECT_EQ(loaded.Entries().front(), Name(16));
    EXPECT_EQ(loaded.Entries().back(), Name(14));
}

TEST(RecentFiles, ClearAndRemove) {
    RecentFiles r;
    r.Change(Name(1));
    r.Change(Name(2));
    r.Remove(Name(1));
    EXPECT_EQ(r.Entries(), Names({2}));
    r.Remove(Name(2));
    EXPECT_TRUE(r.Entries().empty());
    EXPECT_EQ(r.ItemCount(), 2); // separator and clearing entry stay
    EXPECT_EQ(r.SaveText(), "");
    r.Change(Name(3));
    EXPECT_EQ(r.ItemCount(), 3);
    r.Clear();
    EXPECT_EQ(r.ItemCount(), 0);
    r.Change(Name(4));
    EXPECT_EQ(r.ItemCount(), 3);
    EXPECT_EQ(RecentFiles::ClearCaption(), vocalix::base::Cp("ОЧИСТИТЬ СПИСОК"));
}
