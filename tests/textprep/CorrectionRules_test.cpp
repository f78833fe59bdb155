#include "textprep/CorrectionRules.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <unistd.h>

using vocalix::base::Cp;
using namespace vocalix::textprep;
namespace fs = std::filesystem;

namespace {

// A program folder of its own with a "dic/" of rule files written in UTF-8 source text.
class RulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("vocalix-rules-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "dic");
        settings.programDir = m_dir;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Writes dic/NAME with the lines (UTF-8 here, Windows-1251 on disk) and adds it to the
    // selection.
    void RuleFile(const std::string& name, std::initializer_list<const char*> lines) {
        std::string body;
        for (const char* l : lines)
            body += Cp(l) + "\r\n";
        ASSERT_TRUE(vocalix::base::WriteFileAtomic(m_dir / "dic" / name, body));
        if (!settings.selection.empty())
            settings.selection += '+';
        settings.selection += name;
    }

    std::string Filter(const char* utf8) {
        std::string text = Cp(utf8);
        RexFilter(text, settings);
        return text;
    }

    fs::path m_dir;
    RulesSettings settings;
};

// One fragment per line, as reading cuts a text with a small BytesInFrag.
std::vector<std::string> LinePerFragment(std::string_view text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        end = end == std::string_view::npos ? text.size() : end + 2;
        out.emplace_back(text.substr(start, end - start));
        start = end;
    }
    return out;
}

} // namespace

TEST(RulesParsing, IgnoredLinesAndPrefixes) {
    EXPECT_FALSE(ParseRule(""));
    EXPECT_FALSE(ParseRule("#a=b"));
    EXPECT_FALSE(ParseRule("no equals sign"));
    EXPECT_FALSE(ParseRule("=b"));
    EXPECT_FALSE(ParseRule("@=b"));
    const auto abc = ParseRule("a=b=c");
    ASSERT_TRUE(abc);
    EXPECT_EQ(abc->expression, "a");
    EXPECT_EQ(abc->replacement, "b=c");
    EXPECT_FALSE(abc->caseSensitive);
    const auto at = ParseRule("@X=y$12");
    ASSERT_TRUE(at);
    EXPECT_EQ(at->expression, "X");
    EXPECT_TRUE(at->caseSensitive);
    EXPECT_EQ(at->replacement, "y${1}2");
    EXPECT_EQ(at->line, "@X=y$12");
}

TEST(RulesParsing, SelectionOfKind) {
    EXPECT_EQ(SelectionOfKind("a.ini+b.dic+C.INI+d", ".ini"), "a.ini+C.INI");
    EXPECT_EQ(SelectionOfKind("a.ini+b.dic+C.INI+d", ".DIC"), "b.dic");
    EXPECT_EQ(SelectionOfKind("", ".ini"), "");
    EXPECT_EQ(SelectionOfKind("x.ini.bak+y.dic", ".ini"), "");
}

TEST_F(RulesTest, RexFilterAppliesRulesInOrder) {
    RuleFile("a.ini",
             {"(\\d+) км=$1 километров", "@ТАСС=тасс", "сс=с", "a=b=c", "#x=y", "without equals"});
    EXPECT_EQ(Filter("5 км"), Cp("5 километров"));
    EXPECT_EQ(Filter("ТАСС Тасс"), Cp("тас Тас")); // "@" rule first, then "сс" in any case
    EXPECT_EQ(Filter("СС"), Cp("с"));
    EXPECT_EQ(Filter("a x"), "b=c x");
}

TEST_F(RulesTest, GroupTwelveIsGroupOneAndDigit) {
    RuleFile("a.ini", {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)=$12"});
    EXPECT_EQ(Filter("abcdefghijkl"), "a2");
}

TEST_F(RulesTest, BadRuleIsSkippedAndTheNextStillRuns) {
    RuleFile("a.ini", {"(ab=x", "[a=y", "b=z"});
    EXPECT_EQ(Filter("ab"), "az");
}

TEST_F(RulesTest, CatastrophicRuleIsSkippedAndOthersApply) {
    // A rule file with nested repetition over a long run of letters: the engine's limits stop
    // it, the rule is skipped and the rules around it apply.
    RuleFile("slow.ini", {"x=y", "(\\w+\\s?)+$=BOOM", "^(a+)+$=BOOM", "q=w"});
    std::string text = "x" + std::string(20000, 'a') + "!q";
    RexFilter(text, settings);
    EXPECT_EQ(text, "y" + std::string(20000, 'a') + "!w");
}

TEST_F(RulesTest, ChainOfGrowingRulesStopsAtTheLimitOfTheFirstText) {
    // Each rule makes every letter eight: ten of them would turn two letters into 2 GB. The
    // rules that would take the fragment past its limit (64 KB for a short one) are skipped and
    // the rule after them still applies.
    RuleFile("grow.ini", {"([a-z])=$1$1$1$1$1$1$1$1", "([a-z])=$1$1$1$1$1$1$1$1",
                          "([a-z])=$1$1$1$1$1$1$1$1", "([a-z])=$1$1$1$1$1$1$1$1",
                          "([a-z])=$1$1$1$1$1$1$1$1", "([a-z])=$1$1$1$1$1$1$1$1",
                          "([a-z])=$1$1$1$1$1$1$1$1", "([a-z])=$1$1$1$1$1$1$1$1",
                          "([a-z])=$1$1$1$1$1$1$1$1", "([a-z])=$1$1$1$1$1$1$1$1", "ab=|"});
    const size_t half = size_t{1} << 15; // 8 to the fifth: five rules fit within 64 KB
    EXPECT_EQ(Filter("ab"), std::string(half - 1, 'a') + "|" + std::string(half - 1, 'b'));
    std::string text = "ab";
    const std::string report = RulesReport(text, false, settings, LinePerFragment);
    EXPECT_NE(report.find("ab=|"), std::string::npos);
}

TEST_F(RulesTest, LaterFileSeesEarlierOutput) {
    RuleFile("a.ini", {"кот=пёс"});
    RuleFile("b.ini", {"пёс=волк"});
    EXPECT_EQ(Filter("кот"), Cp("волк"));
}

TEST_F(RulesTest, DotStopsAtLineSeparatorsInFilterButNotInReport) {
    RuleFile("a.ini", {"a.+b=X"});
    EXPECT_EQ(Filter("a\r\nb a-b"), "a\r\nb X");
    std::string text = "a\r\nb a-b\r\n";
    const std::string report = RulesReport(text, false, settings, [](std::string_view t) {
        return std::vector<std::string>{std::string(t)};
    });
    EXPECT_EQ(text, "X\r\n");
    EXPECT_EQ(report, "a.+b=X\r\n");
}

TEST_F(RulesTest, FiltersOffForDictionaryFilesAndWithoutIni) {
    RuleFile("a.ini", {"a=b"});
    settings.currentFileName = "/x/dic/names.DIC";
    EXPECT_EQ(Filter("a"), "a");
    settings.currentFileName = "/x/book.txt";
    EXPECT_EQ(Filter("a"), "b");
    settings.selection = "A.INI"; // the test for ".ini" regards case
    EXPECT_EQ(Filter("a"), "a");
    settings.selection = "missing.ini";
    EXPECT_EQ(Filter("a"), "a");
}

TEST_F(RulesTest, RexFilterFullWorksFragmentByFragment) {
    RuleFile("a.ini", {"^x=y"}); // "^" is the start of each fragment
    std::string text = "x1\r\nx2\r\nx3";
    size_t maximum = 0, events = 0, paused = 0, resumed = 0;
    FilterHooks hooks;
    hooks.setProgressMax = [&](size_t m) { maximum = m; };
    hooks.processEvents = [&] { ++events; };
    hooks.pauseMagnifier = [&] { ++paused; };
    hooks.resumeMagnifier = [&] { ++resumed; };
    RexFilterFull(text, settings, LinePerFragment, hooks);
    EXPECT_EQ(text, "y1\r\ny2\r\ny3");
    EXPECT_EQ(maximum, 3u);
    EXPECT_EQ(events, 3u);
    EXPECT_EQ(paused, 1u);
    EXPECT_EQ(resumed, 1u);
}

TEST_F(RulesTest, ReportListsARuleUsedInThreeFragmentsOnce) {
    RuleFile("a.ini", {"кг=килограмм", "(\\d+) км=$1 километров", "т=т", "нет=да"});
    RuleFile("b.ini", {"@Кг=КГ"});
    std::string text = Cp("1 кг\r\n2 кг\r\n3 кг 4 км\r\nт\r\n");
    const std::string report = RulesReport(text, true, settings, LinePerFragment);
    EXPECT_EQ(text, Cp("1 килограмм\r\n2 килограмм\r\n3 килограмм 4 километров\r\nт\r\n"));
    EXPECT_EQ(report, Cp("# Список замен по \"a.ini+b.ini\". Правил: 3\r\n\r\n"
                         "кг=килограмм\r\n(\\d+) км=$1 километров\r\nт=т\r\n"));
    // Not full: no heading.
    text = Cp("1 кг\r\n");
    EXPECT_EQ(RulesReport(text, false, settings, LinePerFragment), Cp("кг=килограмм\r\n"));
}

TEST_F(RulesTest, ReportWithoutMatchesIsEmpty) {
    RuleFile("a.ini", {"zzz=y"});
    std::string text = "abc\r\n";
    EXPECT_EQ(RulesReport(text, false, settings, LinePerFragment), "");
    EXPECT_EQ(RulesReport(text, true, settings, LinePerFragment),
              Cp("# Список замен по \"a.ini\". Правил: 0\r\n\r\n\r\n"));
}

TEST_F(RulesTest, ChangedRuleFileIsReadAgain) {
    RuleFile("a.ini", {"a=b"});
    EXPECT_EQ(Filter("a"), "b");
    settings.selection.clear();
    RuleFile("a.ini", {"a=cc", "c=d"});
    EXPECT_EQ(Filter("a"), "dd");
    fs::remove(m_dir / "dic" / "a.ini");
    EXPECT_EQ(Filter("a"), "a");
}

TEST_F(RulesTest, ReportListsPronunciationEntriesAfterTheRules) {
    RuleFile("a.ini", {"(\\d+) км=$1 километров"});
    RuleFile("words.dic", {"мука=му'ка", "замок=за'мок", "километров=киломе'тров"});
    std::string text = Cp("Мука и замок, 5 км\r\n\r\nзамок\r\n");
    // Not full: rules, then entries in order of first use.
    std::string copy = text;
    EXPECT_EQ(RulesReport(copy, false, settings, LinePerFragment),
              Cp("(\\d+) км=$1 километров\r\nмука=му'ка\r\nзамок=за'мок\r\n"
                 "километров=киломе'тров\r\n"));
    // Full: both headings, entries sorted with the heading among them.
    EXPECT_EQ(RulesReport(text, true, settings, LinePerFragment),
              Cp("# Список замен по \"a.ini\". Правил: 1\r\n\r\n(\\d+) км=$1 километров\r\n\r\n"
                 "# Список замен по \"words.dic\". Правил: 3, применены: 4 раз к тексту из 6 "
                 "слов\r\n\r\n"
                 "замок=за'мок\r\nкилометров=киломе'тров\r\nмука=му'ка\r\n"));
    EXPECT_EQ(text, Cp("Мука и замок, 5 километров\r\n\r\nзамок\r\n"));
}

TEST_F(RulesTest, ReportWithOnlyAPronunciationDictionary) {
    RuleFile("words.dic", {"мука=му'ка"});
    std::string text = Cp("мука\r\n");
    EXPECT_EQ(RulesReport(text, true, settings, LinePerFragment),
              Cp("# Список замен по \"words.dic\". Правил: 1, применены: 1 раз к тексту из 1 "
                 "слов\r\n\r\nмука=му'ка\r\n"));
}

TEST_F(RulesTest, FullRunEndsEveryFragmentWithALineBreak) {
    RuleFile("a.ini", {"a=b"});
    // The cutting gives the last piece a CR LF of its own, whether it had one or not, and the
    // processed pieces joined are the new text.
    const auto split = [](std::string_view t) {
        std::vector<std::string> f = LinePerFragment(t);
        if (!f.empty() && !f.back().ends_with("\r\n"))
            f.back() += "\r\n";
        return f;
    };
    for (const char* in : {"a\r\na", "a\r\na\r\n", "a"}) {
        std::string text = in;
        RexFilterFull(text, settings, split);
        std::string expected = in;
        std::replace(expected.begin(), expected.end(), 'a', 'b');
        if (!expected.ends_with("\r\n"))
            expected += "\r\n";
        EXPECT_EQ(text, expected);
    }
}
