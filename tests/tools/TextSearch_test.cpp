#include "tools/TextSearch.h"

#include "base/Cp1251.h"

#include <gtest/gtest.h>

namespace {

using vocalix::base::Cp;
namespace t = vocalix::tools;

TEST(TextSearch, ReplaceAllWithAndWithoutCase) {
    const std::string text = Cp("Ёлка и ёлка, ЁЛКА; Tree tree");
    EXPECT_EQ(t::ReplaceAllMatches(text, Cp("ёлка"), "x", false), Cp("x и x, x; Tree tree"));
    EXPECT_EQ(t::ReplaceAllMatches(text, Cp("ёлка"), "x", true), Cp("Ёлка и x, ЁЛКА; Tree tree"));
    EXPECT_EQ(t::ReplaceAllMatches(text, "TREE", "y", false), Cp("Ёлка и ёлка, ЁЛКА; y y"));
    EXPECT_EQ(t::ReplaceAllMatches("aaa", "aa", "b", false), "ba");
    EXPECT_EQ(t::ReplaceAllMatches("abc", "", "b", false), "abc");
}

} // namespace
