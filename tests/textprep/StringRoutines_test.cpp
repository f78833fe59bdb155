#include "base/Cp1251.h"
#include "textprep/SlotList.h"
#include "textprep/StringRoutines.h"
#include "textprep/WordList.h"

#include <gtest/gtest.h>

using namespace vocalix::textprep;
using vocalix::base::Cp;

TEST(WordList, MarkersAndTokens) {
    struct Case {
        std::string text;
        std::vector<std::string> expected;
    };
    const std::string tooLong(100, 'x');
    const std::string longest(99, 'x');
    const Case cases[] = {
        {"a b\r\n\r\n c\r\nd", {"a", "b", "_E_", "_Z_", "c", "d"}},
        {"   ", {"_E_"}},
        {"\tx", {"\tx"}},
        {"\t", {"_E_", "\t"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\n", {"a"}},
        {"a\r\n\r\n", {"a", "_E_"}},
        {"", {}},
        {"\r\n", {"_E_"}},
        {"a\rb\nc", {"a\rb\nc"}},
        {"a  b   ", {"a", "b"}},
        {tooLong + " y " + longest, {"y", longest}},
        {"  - x", {"_Z_", "-", "x"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextToWordList(c.text), c.expected) << "text: " << c.text;
}

TEST(WordList, ReusedListIsClearedFirst) {
    WordList list{"old"};
    TextToWordList("new", list);
    EXPECT_EQ(list, WordList{"new"});
}

TEST(StringRoutines, SplitByAndPosCharFrom) {
    EXPECT_EQ(SplitBy("a++b+", '+'), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitBy(std::string(100, 'z') + "+c", '+'), (std::vector<std::string>{"c"}));
    EXPECT_TRUE(SplitBy("", '+').empty());
    EXPECT_EQ(PosCharFrom('a', "banana", 1), 2u);
    EXPECT_EQ(PosCharFrom('a', "banana", 3), 4u);
    EXPECT_EQ(PosCharFrom('a', "banana", 7), 0u);
    EXPECT_EQ(PosCharFrom('z', "banana", 1), 0u);
}

TEST(StringRoutines, NameValueKey) {
    EXPECT_EQ(NameOf("a=b=c"), "a");
    EXPECT_EQ(NameOf("abc"), "");
    EXPECT_EQ(ValueOf("a=b=c"), "b=c");
    EXPECT_EQ(ValueOf("abc"), "abc");
    EXPECT_EQ(TagValueOf("abc"), "");
    EXPECT_EQ(TagValueOf("_E_|_E_=x"), "x");
    EXPECT_EQ(KeyOf("k|v", '|'), "k");
    EXPECT_EQ(KeyOf("kv", '|'), "kv");
}

TEST(StringRoutines, CaseFollowsRussianCodePage) {
    EXPECT_EQ(LowerCase(Cp("ЁЖИК Hello ёж")), Cp("ёжик hello ёж"));
    EXPECT_EQ(UpperCase(Cp("ёжик hello")), Cp("ЁЖИК HELLO"));
    // Characters outside the three ranges keep their code.
    EXPECT_EQ(LowerCase("\x8A\x9A\xA1"), "\x8A\x9A\xA1");
}

TEST(StringRoutines, PunctuationRoutines) {
    const std::string hello = Cp("«Привет!»");
    EXPECT_EQ(WordCore(hello), Cp("Привет"));
    EXPECT_EQ(TrailingPunctuation(hello), Cp("!»"));
    EXPECT_EQ(LeadingPunctuation(hello), Cp("«"));
    EXPECT_EQ(WordWithoutBrackets(hello), Cp("Привет!"));
    EXPECT_EQ(WordCore("..."), "");
    EXPECT_EQ(TrailingPunctuation("..."), "...");
    EXPECT_EQ(LeadingPunctuation("..."), "...");
    EXPECT_EQ(WordWithoutBrackets(Cp("а)")), Cp("а)"));
    EXPECT_EQ(WordWithoutBrackets("(1)"), "(1)");
    EXPECT_EQ(WordWithoutBrackets("(12)"), "(12)");
    EXPECT_EQ(WordWithoutBrackets("(123)"), "123");
    EXPECT_EQ(WordWithoutBrackets("ab)"), "ab)");
    EXPECT_EQ(WordWithoutBrackets("abc),"), "abc,");
    EXPECT_EQ(BracketsOf(Cp("«(x)»,")), Cp("«()»"));
    // Hyphens, dashes, apostrophes and digits are word characters.
    EXPECT_EQ(WordCore("-x-"), "-x-");
    EXPECT_EQ(WordCore("\x96"), "\x96");
    EXPECT_EQ(WordCore("'5'"), "'5'");
    EXPECT_EQ(PatternTailPunctuation("*,*"), ",");
    EXPECT_EQ(PatternTailPunctuation("*,"), "");
    EXPECT_EQ(PatternTailPunctuation("a*"), "");
    EXPECT_TRUE(StartsWithCapital(Cp("«Ёлка")));
    EXPECT_TRUE(StartsWithCapital("(X"));
    EXPECT_FALSE(StartsWithCapital(Cp("«ёлка")));
    EXPECT_FALSE(StartsWithCapital("..."));
    EXPECT_FALSE(StartsWithCapital("-A"));
    EXPECT_EQ(CapitalizeFirstLetter(Cp("«ёлка»")), Cp("«Ёлка»"));
    EXPECT_EQ(CapitalizeFirstLetter("..."), "...");
    EXPECT_TRUE(IsCyrillicWord(Cp("Ёжик")));
    EXPECT_FALSE(IsCyrillicWord(Cp("ёж-")));
    EXPECT_FALSE(IsCyrillicWord(""));
    EXPECT_TRUE(StartsWithChar("$a", '$'));
    EXPECT_FALSE(StartsWithChar("", '$'));
    EXPECT_EQ(DropFirstChar("$a"), "a");
    EXPECT_EQ(DropFirstChar(""), "");
}

TEST(StringRoutines, WildMatch) {
    struct Case {
        const char* text;
        const char* pattern;
        bool match;
    };
    const Case cases[] = {
        {"кошка", "*шка", true},
        {"кошка", "ко*", true},
        {"", "*", true},
        {"Кошка", "кошка", false},
        {"кошка", "к*ш*а", true},
        {"кошка", "к*х*а", false},
        {"", "", true},
        {"a", "", false},
        {"", "a", false},
        {"abc", "*", true},
        {"ab", "a**", true},
        {"a", "a**", false},
        {"", "**", false},
        {"a", "**", true},
        {"ab", "*b**", false},
        {"abc", "*b**", true},
        {"aab", "*a**b", true},
        {"ab", "a*b*", true},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WildMatch(Cp(c.text), Cp(c.pattern)), c.match) << c.text << " ~ " << c.pattern;
    EXPECT_FALSE(WildMatch(std::string(256, 'a'), "*"));
    EXPECT_TRUE(WildMatch(std::string(255, 'a'), "*"));
}

TEST(StringRoutines, StarOnlyPatterns) {
    EXPECT_TRUE(IsStarOnlyPattern("* *"));
    EXPECT_TRUE(IsStarOnlyPattern("*"));
    EXPECT_TRUE(IsStarOnlyPattern(""));
    EXPECT_FALSE(IsStarOnlyPattern("**"));
    EXPECT_FALSE(IsStarOnlyPattern("*a"));
}

TEST(StringRoutines, SortByLengthDescIsStable) {
    std::vector<std::string> list{"bb", "a", "ccc", "dd", "e"};
    SortByLengthDesc(list);
    EXPECT_EQ(list, (std::vector<std::string>{"ccc", "bb", "dd", "a", "e"}));
}

TEST(SlotList, TableSizes) {
    const std::pair<size_t, size_t> cases[] = {{0, 1},  {1, 1},   {2, 3},   {8, 11},
                                               {9, 11}, {24, 29}, {25, 29}, {150000, 150001}};
    for (auto [n, size] : cases)
        EXPECT_EQ(HashTableSize(n), size) << n;
}

TEST(SlotList, ElfHash) {
    EXPECT_EQ(HashIndex("", 7), 0u);
    EXPECT_EQ(HashIndex("a", 1000), 97u);
    EXPECT_EQ(HashIndex("ab", 100000), (97u << 4) + 98u);
    // Long keys fold the high nibble back: the value stays below 2^28.
    const std::string longKey(40, '\xFF');
    EXPECT_LT(HashIndex(longKey, 1u << 31), 1u << 28);
    uint32_t h = 0;
    for (unsigned char b : longKey) {
        h = (h << 4) + b;
        uint32_t g = h & 0xF0000000u;
        if (g)
            h ^= g >> 24;
        h &= ~g;
    }
    EXPECT_EQ(HashIndex(longKey, 1000003), h % 1000003);
}

TEST(SlotList, FindProbesAndReportsFullTable) {
    const size_t n = 5;
    SlotList slots(n);
    const size_t home = HashIndex("k", n);
    slots[home] = "x|1";
    slots[(home + 1) % n] = "#";
    auto r = HashFind(slots, "k", n, '|');
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.index, static_cast<long long>((home + 2) % n));
    slots[(home + 2) % n] = "k|v";
    r = HashFind(slots, "k", n, '|');
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.index, static_cast<long long>((home + 2) % n));
    // The spelling table looks up with a space as separator.
    slots[(home + 2) % n] = "k v";
    EXPECT_TRUE(HashFind(slots, "k", n, ' ').found);
    for (auto& s : slots)
        s = "other|x";
    r = HashFind(slots, "k", n, '|');
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.index, -1);
}

namespace {

// The matcher's definition, step by step, for comparison on small inputs.
bool ReferenceMatch(std::string_view t, std::string_view p) {
    if (p == "*")
        return true;
    if (t.empty())
        return p.empty();
    if (!p.empty() && p[0] == '*')
        return ReferenceMatch(t, p.substr(1)) || ReferenceMatch(t.substr(1), p);
    return !p.empty() && t[0] == p[0] && ReferenceMatch(t.substr(1), p.substr(1));
}

} // namespace

TEST(StringRoutines, WildMatchAgreesWithItsDefinition) {
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    const char alphabet[] = {'a', 'b', '*'};
    for (int round = 0; round < 20000; ++round) {
        std::string t, p;
        for (unsigned i = next() % 7; i > 0; --i)
            t += alphabet[next() % 2];
        for (unsigned i = next() % 7; i > 0; --i)
            p += alphabet[next() % 3];
        ASSERT_EQ(WildMatch(t, p), ReferenceMatch(t, p)) << t << " ~ " << p;
    }
}
