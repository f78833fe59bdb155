#include "TestFolder.h"

#include "base/Cp1251.h"
#include "textprep/PronunciationFilter.h"
#include "textprep/StringRoutines.h"

using namespace vocalix::textprep;
using vocalix::base::Cp;

namespace {

// Filters UTF-8 text with one dictionary "t.dic" (UTF-8 lines joined by CR LF).
struct FilterFixture {
    TestProgramFolder folder;
    PronunciationFilter filter{folder.Dir()};

    void Dic(std::initializer_list<const char*> lines, const std::string& name = "t.dic") {
        std::string bytes;
        for (const char* l : lines)
            bytes += Cp(l) + "\r\n";
        folder.WriteDic(name, bytes);
    }
    std::string Run(const char* utf8, bool keep = false, bool ignore = false,
                    const std::string& selection = "t.dic") {
        std::string text = Cp(utf8);
        filter.Filter(text, keep, ignore, selection, "");
        return text;
    }
};

} // namespace

TEST(PronunciationFilter, WordEntries) {
    struct Case {
        std::vector<const char*> dic;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {{"кот=кошка"}, "Кот, кот", " Кошка, кошка"},
        {{"Кот=кошка"}, "КОТ кот", " Кошка кошка"},
        {{"*ение=енье"}, "значение.", " значенье."},
        {{"при*="}, "Он привет", " Онвет"},
        {{"$ООН=о-о-н"}, "ООН оон", " о-о-н оон"},
        {{"$Кот=кошка"}, "Кот кот КОТ", " кошка кот КОТ"},
        {{"*=звёздочка"}, "* (*) кот", " звёздочка (звёздочка) кот"},
        {{"так как=потому что"}, "так как так", " потому что так"},
        {{"так как=потому что вот"}, "Так как", " Потому что вот"},
        {{"* сказал=произнёс"}, "он сказал", " он произнёс"},
        {{"##=решётка"}, "#", " решётка"},
        {{"#comment=x"}, "comment", " comment"},
        // An entry without "=" (cut off at "|") ends the work on a word.
        {{"кот ест=x|мяу", "*от=ит"}, "кот", " кот"},
        {{"кот ест=x", "*от=ит"}, "кот", " кит"},
        // Longer entries of a key are tried first.
        {{"*а=ы", "*ка=ки"}, "кошка", " кошки"},
        // An entry of 100 characters or more is dropped.
        {{"кот=кошкааааааааааааааааааааааааааааааааааааааааааааааааааааааааааааааааааааааааааа"
          "ааааааааааааааааааа"},
         "кот",
         " кот"},
    };
    for (const auto& c : cases) {
        FilterFixture f;
        std::string bytes;
        for (const char* l : c.dic)
            bytes += Cp(l) + "\r\n";
        f.folder.WriteDic("t.dic", bytes);
        EXPECT_EQ(f.Run(c.text), Cp(c.expected)) << c.text;
    }
}

TEST(PronunciationFilter, ReturnsTextUntouchedWithoutLowerCaseDicSelection) {
    FilterFixture f;
    f.Dic({"кот=кошка"}, "NAMES.DIC");
    f.Dic({"кот=кошка"}, "t.dic");
    f.folder.WriteDic("r.ini", "x=y\r\n");
    const std::string original = Cp("Кот  кот\r\n");
    for (const char* selection : {"NAMES.DIC", "r.ini", ""}) {
        std::string text = original;
        EXPECT_FALSE(f.filter.Filter(text, false, false, selection, ""));
        EXPECT_EQ(text, original);
    }
    std::string text = original;
    EXPECT_FALSE(f.filter.Filter(text, false, false, "t.dic", "/home/u/dic/Names.Dic"));
    EXPECT_EQ(text, original);
    // A missing .dic still cuts and joins the text.
    text = original;
    EXPECT_TRUE(f.filter.Filter(text, false, false, "gone.dic", ""));
    EXPECT_EQ(text, Cp(" Кот кот"));
}

TEST(PronunciationFilter, CensoredRanges) {
    FilterFixture f;
    f.Dic({"_CENZ_=начало..конец плохо*"});
    EXPECT_EQ(f.Run("а Начало б в конец, г плохой"), Cp(" а г"));
    EXPECT_EQ(f.Run("а начало б\r\n\r\n в"), Cp(" а"));
    // Markers inside a range go too; ignoring the style rules switches censoring off.
    EXPECT_EQ(f.Run("а начало\r\n\r\nб конец г", true), Cp(" а г"));
    EXPECT_EQ(f.Run("плохой", true, true), Cp(" плохой"));
}

TEST(PronunciationFilter, CensorMatchItems) {
    bool range = false;
    EXPECT_TRUE(CensorMatch(Cp("Дурак!"), Cp("дурак"), range));
    EXPECT_FALSE(CensorMatch(Cp("Дурак!"), Cp("дурак."), range));
    EXPECT_TRUE(CensorMatch(Cp("дурак."), Cp("дурак."), range));
    EXPECT_FALSE(CensorMatch("x", "*", range));
    EXPECT_FALSE(range);
    EXPECT_TRUE(CensorMatch("a", "a..b", range));
    EXPECT_TRUE(range);
    EXPECT_TRUE(CensorMatch("x", "a..b", range));
    EXPECT_TRUE(CensorMatch("b", "a..b", range));
    EXPECT_FALSE(range);
    EXPECT_FALSE(CensorMatch("x", "a..b", range));
}

TEST(PronunciationFilter, TagsAroundParagraphsAndDialogue) {
    FilterFixture f;
    f.Dic({"_E_=<e>", "_Z_=<z>", "_S_=<s>", "_D_=<d>", "_XD_=<xd>", "_C_=<c>", "_XC_=<xc>",
           "_INIT_=<init>"});
    struct Case {
        const char* text;
        bool keep;
        const char* expected;
    };
    const Case cases[] = {
        {"a\r\n\r\nb", true, "<init> a \r\n<e> b"},
        {"a\r\n\r\nb", false, "<init> a <e> b"},
        {"Что?! Ну… «Да?!» (Нет!)", false, "<init> Что?! <s> Ну… <s> «Да?!» <s> (Нет!)"},
        {"Он сказал:\r\n – Привет, друг.\r\n Ушёл он.", true,
         "<init> Он сказал: \r\n<z><d> – Привет, друг. <xd> \r\n<z> Ушёл он."},
        {" – Привет, – сказал он. – Пока!", true,
         "<init> \r\n<z><d> – Привет, <xd> <c> – сказал он. <xc> <d> – Пока!"},
        {" – Привет, – сказал он.\r\n Потом ушёл.", true,
         "<init> \r\n<z><d> – Привет, <xd> <c> – сказал он. <xc> \r\n<z> Потом ушёл."},
        {" – Ну, – сказал он?! – Пока", false,
         "<init> <z><d> – Ну, <xd> <c> – сказал он?! <s> <xc> <d> – Пока"},
        // Not indented after a non-empty line: no marker, no direct speech.
        {"Он:\r\n– Привет.", true, "<init> Он: – Привет."},
        {" – привет", true, "<init> \r\n<z> – привет"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(f.Run(c.text, c.keep), Cp(c.expected)) << c.text;
    EXPECT_EQ(f.Run("a\r\n\r\n b", true, true), Cp(" a \r\n \r\n b"));
}

TEST(PronunciationFilter, UndefinedTagsAreEmpty) {
    FilterFixture f;
    f.Dic({"x=y"});
    EXPECT_EQ(f.Run("a\r\n\r\nb", true), Cp(" a \r\n b"));
    EXPECT_EQ(f.Run("a\r\n\r\nb", false), Cp(" a b"));
}

TEST(PronunciationFilter, ApplyReplacementRules) {
    struct Case {
        const char* form;
        const char* pattern;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"...", "...", "многоточие", "многоточие"},   // pure punctuation
        {"кот,", "*,", "", "кот,"},                   // empty replacement for a star
        {"кот", "кот", "кошка", "кошка"},             // equal
        {"«кот!»", "кот!", "кошка", "«кошка»"},       // without brackets
        {"«кот»,", "кот", "кошка", "«кошка»,"},       // core
        {"значение.", "*ение", "енье", "значенье."},  // ending
        {"кот.", "*от.", "ит!", "кит!"},              // ending with punctuation
        {"привет", "при*", "за", "завет"},            // beginning
        {"«привет", "при*", "", "`«вет"},             // beginning removed: glue mark
        {"$Привет", "$При*", "За", "Завет"},          // beginning, case-sensitive
        {"подоконник", "*окон*", "ОКН", "подОКНник"}, // inside
        {"кот", "**", "x", "кот"},                    // empty inside
        {"кот", "к*т", "x", "кот"},                   // nothing fits
        {"$Значение", "$*ение", "енье", "Значенье"},  // "$*" dropped
        {"$«ООН»,", "$ООН", "оон", "«оон»,"},         // case-sensitive core
        {"$Кот", "$К*т", "x", "Кот"},                 // the "$" never reaches the text
    };
    for (const auto& c : cases)
        EXPECT_EQ(ApplyReplacement(Cp(c.form), Cp(c.pattern), Cp(c.replacement)), Cp(c.expected))
            << c.form << " / " << c.pattern;
}

TEST(PronunciationFilter, MatchTestRules) {
    struct Case {
        const char* pattern;
        const char* text;
        bool match;
    };
    const Case cases[] = {
        {"*", "*", true},       {"*", "кот", false},      {"* *", "* *", true},
        {"*!*", "ура!»", true}, {"*!*", "ура", false},    {"кот", "«кот».", true},
        {"кот)", "кот)", true}, {"кот)", "(кот)", false}, {"кот!", "«кот!»", true},
        {"кот!", "кот", false}, {"к*т", "«кот»", true},   {"$Кот", "$Кот", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PatternMatches(Cp(c.pattern), Cp(c.text)), c.match)
            << c.pattern << " ~ " << c.text;
}

TEST(PronunciationFilter, CandidateKeysInOrder) {
    const std::vector<const char*> expected = {
        "$Аб,", "аб,", "$Аб", "аб",   "$Аб*",  "аб*",  "$*Аб*", "*аб*", "$*Аб",   "$*Аб,", "*аб",
        "*аб,", "$А*", "а*",  "$*А*", "*а*",   "$*б",  "$*б,",  "*б",   "*б,",    "$*б*",  "*б*",
        "$*",   "*",   "$*,", "*,",   "$Аб,*", "аб,*", "$*Аб,", "*аб,", "$*Аб,*", "*аб,*"};
    std::vector<std::string> want;
    for (const char* k : expected)
        want.push_back(Cp(k));
    EXPECT_EQ(CandidateKeys(Cp("Аб,")), want);
    const auto keys = CandidateKeys(Cp("«x"));
    ASSERT_GE(keys.size(), 8u);
    EXPECT_EQ(keys[keys.size() - 8], Cp("$«*"));
    EXPECT_EQ(keys[keys.size() - 7], Cp("«*"));
}

TEST(PronunciationFilter, TableSlotsAndTags) {
    SlotList table;
    std::vector<std::string> lines;
    for (const char* l : {"кот=кошка", "кот=кис", "", "Кот ест=x", "_E_=a", "_E_=b", "a=b|c"})
        lines.push_back(Cp(l));
    DicPrepare(lines, table);
    ASSERT_EQ(table.size(), HashTableSize(21));
    auto r = HashFind(table, Cp("кот"), table.size(), '|', SlotHash::Mixed);
    ASSERT_TRUE(r.found);
    EXPECT_EQ(table[r.index], Cp("кот|кот=кошка|кот ест=x|кот=кис"));
    r = HashFind(table, "a", table.size(), '|', SlotHash::Mixed);
    ASSERT_TRUE(r.found);
    EXPECT_EQ(table[r.index], "a|a=b|c");
    const DictionaryTags tags = GetTags(table);
    EXPECT_EQ(tags.E, "a|_E_=b"); // a second definition runs on into the first
    EXPECT_EQ(tags.Z, "");
    DicPrepare({}, table);
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(GetTags(table).INIT, "");
}

TEST(PronunciationFilter, CheckWordReportsEveryApplication) {
    SlotList table;
    // Keys come from the word as it was; each later key sees the word as rewritten.
    DicPrepare({Cp("*т=д"), Cp("*о*=а")}, table);
    WordList list{Cp("Кот")};
    EXPECT_EQ(CheckWord(table, list, 0, 1), Cp("*о*=а|*т=д"));
    EXPECT_EQ(list[0], Cp("Кад"));
    list = {""};
    EXPECT_EQ(CheckWord(table, list, 0, 1), "");
}

TEST(PronunciationFilter, ReusesTableUntilFilesChange) {
    FilterFixture f;
    f.Dic({"кот=кошка"});
    const auto first = f.filter.DicPrepare("t.dic");
    EXPECT_EQ(f.filter.DicPrepare("t.dic"), first);
    EXPECT_EQ(f.Run("кот"), Cp(" кошка"));
    f.Dic({"кот=кисонька"});
    EXPECT_NE(f.filter.DicPrepare("t.dic"), first);
    EXPECT_EQ(f.Run("кот"), Cp(" кисонька"));
    // Entries of equal length keep the selection order.
    f.Dic({"кот=собачона"}, "u.dic");
    EXPECT_EQ(f.Run("кот", false, false, "u.dic+t.dic"), Cp(" собачона"));
    EXPECT_EQ(f.Run("кот", false, false, "t.dic+u.dic"), Cp(" кисонька"));
}

TEST(PronunciationFilter, BadDictionariesNeitherCrashNorHang) {
    FilterFixture f;
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) % 251 + 1);
    f.folder.WriteDic("bin.dic", binary);
    f.folder.WriteDic("empty.dic", "");
    f.folder.WriteDic("nul.dic", std::string("a=b\0c=d\r\n", 9));
    f.folder.WriteDic("long.dic", std::string(300, '=') + "\r\n" + std::string(200, 'k') + "=x");
    f.folder.WriteDic("stars.dic", "*=*\r\n**=\r\n* *=\r\n$*=\r\n$=\r\n*|*=|=\r\n_CENZ_=*..*\r\n");
    const std::string text = Cp("a c Кот, «(*)»\r\n\r\n – Да! " + std::string(120, 'z') + " $ *");
    for (const char* selection :
         {"bin.dic", "empty.dic", "nul.dic", "long.dic", "stars.dic", "missing.dic+x.dic"}) {
        std::string t = text;
        EXPECT_TRUE(f.filter.Filter(t, true, false, selection, "")) << selection;
    }
    std::string t = "a c";
    f.filter.Filter(t, false, false, "nul.dic", "");
    EXPECT_EQ(t, " b c");
}

TEST(PronunciationFilter, HooksAndMemoryExhaustion) {
    FilterFixture f;
    f.Dic({"кот=кошка"});
    int paused = 0, resumed = 0;
    size_t max = 0;
    std::vector<size_t> steps;
    FilterHooks hooks;
    hooks.pauseMagnifier = [&] { ++paused; };
    hooks.resumeMagnifier = [&] { ++resumed; };
    hooks.setProgressMax = [&](size_t n) { max = n; };
    hooks.setProgress = [&](size_t i) { steps.push_back(i); };
    std::string text = Cp("кот и кот");
    EXPECT_TRUE(f.filter.Filter(text, false, false, "t.dic", "", hooks));
    EXPECT_EQ(max, 3u);
    EXPECT_EQ(steps, (std::vector<size_t>{1, 2, 3, 0}));
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(resumed, 1);

    hooks.processEvents = [] { throw std::bad_alloc(); };
    text = Cp("кот");
    EXPECT_THROW(f.filter.Filter(text, false, false, "t.dic", "", hooks), MemoryExhausted);
    EXPECT_EQ(resumed, 2);
    EXPECT_EQ(text, Cp("кот"));
    hooks.processEvents = [] { throw std::runtime_error("other"); };
    EXPECT_THROW(f.filter.Filter(text, false, false, "t.dic", "", hooks), std::runtime_error);
    EXPECT_EQ(resumed, 3);
    EXPECT_EQ(MemoryExhaustedCaption(), Cp("Опаньки!"));
}

// The compact table passes most keys over unbuilt (by their shape and length); whatever key a
// one-line dictionary has, it must rewrite a word as the slot list does.
TEST(PronunciationFilter, CompactTableSkipsNoKeyThatCouldMatch) {
    for (const char* word : {"Кошка,", "«дом»!", "ко*т", "Ая", "x"}) {
        for (const std::string& key : CandidateKeys(Cp(word))) {
            SCOPED_TRACE(key);
            const std::vector<std::string> lines = {key + "=zz"};
            SlotList slots;
            DicPrepare(lines, slots);
            const auto compact = BuildPronunciationTable(lines);
            WordList bySlots{Cp(word)}, byCompact{Cp(word)};
            EXPECT_EQ(CheckWord(compact->entries, byCompact, 0, 1),
                      CheckWord(slots, bySlots, 0, 1));
            EXPECT_EQ(byCompact, bySlots);
        }
    }
}
