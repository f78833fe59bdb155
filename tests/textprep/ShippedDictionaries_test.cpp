// The dictionaries shipped in data/dic, read through the loaders the program uses.
#include "textprep/CorrectionRules.h"
#include "textprep/Dictionaries.h"
#include "textprep/PronunciationFilter.h"
#include "textprep/RegExpr.h"

#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace vocalix;
using namespace vocalix::textprep;
using vocalix::base::Cp;

namespace {

// data/ is a program folder: its dic/ is what the build copies beside the executable.
const std::filesystem::path kData = std::filesystem::path(VOCALIX_SOURCE_DIR) / "data";

std::vector<std::string> Lines(const char* name, const char* extension) {
    std::vector<std::string> lines;
    LoadDictionaries(lines, name, extension, kData);
    return lines;
}

std::string Filtered(const char* utf8, const char* selection) {
    std::string text = Cp(utf8);
    PronunciationFilter filter(kData);
    EXPECT_TRUE(filter.Filter(text, true, false, selection, ""));
    return base::Cp1251ToUtf8(text);
}

TEST(ShippedDictionaries, EveryLineIsUsable) {
    const auto listed = ListDictionaryFiles(DictionaryFolder(kData));
    for (const char* name : {"ru-stress.dic", "ru-dialogue.dic", "ru-abbrev.ini"})
        EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end()) << name;
    for (const char* name : {"ru-stress.dic", "ru-dialogue.dic"}) {
        size_t entries = 0;
        for (const std::string& line : Lines(name, ".dic"))
            if (line[0] != '#') {
                EXPECT_TRUE(ParseDicLine(line)) << line;
                EXPECT_LT(line.size(), 100u) << line;
                ++entries;
            }
        EXPECT_GT(entries, 1u) << name;
    }
    EXPECT_GT(Lines("ru-stress.dic", ".dic").size(), 60000u);
    size_t rules = 0;
    for (const std::string& line : Lines("ru-abbrev.ini", ".ini")) {
        const auto rule = ParseRule(line);
        if (!rule)
            continue;
        RegExpr expression;
        expression.SetExpression(rule->expression);
        EXPECT_NO_THROW(expression.Compile()) << line;
        ++rules;
    }
    EXPECT_GT(rules, 200u);
}

TEST(ShippedDictionaries, StressesWords) {
    EXPECT_EQ(Filtered("Старый замок, замка нет; мука и молоко.", "ru-stress.dic"),
              " Ст+арый зам+ок, з+амка нет; мук+а и молок+о.");
}

TEST(ShippedDictionaries, AbbreviationsUnitsAndDates) {
    const struct {
        const char* text;
        const char* spoken;
    } cases[] = {
        {"т.е. так, и т. д. и т.п.", "то есть так, и так далее и тому подобное"},
        {"1 км, 3 км, 11 км, 25 км/ч, 2,5 кг", "1 километр, 3 километра, 11 километров, "
                                               "25 километров в час, 2,5 килограмма"},
        {"№ 5, 50%, 21%, § 3", "номер 5, 50 процентов, 21 процент, параграф 3"},
        {"12.05.2024", "двенадцатое мая 2000 20 четвёртого года"},
        {"21 июня 1941 года", "20 первое июня 1900 40 первого года"},
        {"в 1812 г. и в 2000 г.", "в 1800 двенадцатом году и в двухтысячном году"},
        {"1905 г., г. Москва, 1941-1945 гг.", "1900 пятый год, город Москва, 1941-1945 годы"},
    };
    for (const auto& c : cases) {
        std::string text = Cp(c.text);
        RexFilter(text, {kData, "ru-abbrev.ini", ""});
        EXPECT_EQ(base::Cp1251ToUtf8(text), c.spoken);
    }
}

// Direct speech goes to the second voice and back, as SSML the engine reads with IsXML on.
TEST(ShippedDictionaries, DialogueSwitchesTheVoice) {
    const std::string out = Filtered(" Он вошёл.\r\n – Здравствуйте! – сказал он. – Как дела?\r\n"
                                     " Она молчала.\r\n",
                                     "ru-dialogue.dic");
    EXPECT_NE(out.find("<voice name=\"ru+f3\"> –"), std::string::npos) << out;
    EXPECT_NE(out.find("Здравствуйте! </voice>  – сказал он."), std::string::npos) << out;
    EXPECT_NE(out.find("Как дела? </voice>"), std::string::npos) << out;
}

} // namespace
