// The filter's map from the rewritten text back to the words it was made from.
#include "TestFolder.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "textprep/PronunciationFilter.h"
#include "textprep/StringRoutines.h"

#include <cctype>

using namespace vocalix::textprep;
using vocalix::base::Cp;

namespace {

struct Word {
    size_t start, end;
};

bool LetterOrDigit(char c) {
    return IsCyrillicLetter(c) || std::isalnum(static_cast<unsigned char>(c));
}

// The words a listener hears: blank-separated, punctuation and signs around them trimmed.
std::vector<Word> Words(std::string_view text) {
    std::vector<Word> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ')
            ++i;
        size_t end = i;
        while (end < text.size() && static_cast<unsigned char>(text[end]) > ' ')
            ++end;
        size_t a = i, b = end;
        while (a < b && !LetterOrDigit(text[a]))
            ++a;
        while (b > a && !LetterOrDigit(text[b - 1]))
            --b;
        if (a < b)
            words.push_back({a, b});
        i = end;
    }
    return words;
}

std::string Filtered(PronunciationFilter& filter, const std::string& text,
                     const std::string& selection, FilterMap* map) {
    std::string out = text;
    EXPECT_TRUE(filter.Filter(out, false, false, selection, "", {}, map));
    return out;
}

} // namespace

// Hand-made entries that lengthen, shorten, split, join and remove words, and tag values that
// add words of their own: each word heard ends the selection at the end of its source word.
TEST(FilterMap, EveryWordHeardLeadsBackToItsSourceWord) {
    struct Case {
        std::vector<const char*> dic;
        const char* text;
        // For each word of the output, the source word it was made from ("" for none).
        std::vector<const char*> sources;
    };
    const Case cases[] = {
        {{"бухг.=бухгалтерское дело", "кот=кошка"},
         "Кот знает бухг. и право.",
         {"Кот", "знает", "бухг", "бухг", "и", "право"}},
        {{"здравствуйте=привет", "ты=вы"}, "Здравствуйте, ты.", {"Здравствуйте", "ты"}},
        {{"при*="}, "Он привет сказал", {"привет", "сказал"}},
        {{"так как=потому что"}, "Ушёл, так как устал", {"Ушёл", "так", "как", "устал"}},
        {{"_E_=пауза", "_Z_=абзац"},
         "один\r\n\r\n два три",
         {"один", "один", "один", "два", "три"}},
        {{"_CENZ_=плохое", "слово=речь"}, "хорошее плохое слово", {"хорошее", "слово"}},
        {{"_INIT_=начало", "*ение=енье"}, "Значение «важно».", {"", "Значение", "важно"}},
    };
    for (const Case& c : cases) {
        TestProgramFolder folder;
        std::string dic;
        for (const char* l : c.dic)
            dic += Cp(l) + "\r\n";
        folder.WriteDic("t.dic", dic);
        PronunciationFilter filter(folder.Dir());
        const std::string text = Cp(c.text);
        FilterMap map;
        const std::string out = Filtered(filter, text, "t.dic", &map);
        EXPECT_EQ(out, Filtered(filter, text, "t.dic", nullptr)) << "the map changed the text";
        const auto heard = Words(out);
        ASSERT_EQ(heard.size(), c.sources.size()) << c.text;
        size_t from = 0;
        for (size_t k = 0; k < heard.size(); ++k) {
            if (*c.sources[k] == 0) {
                EXPECT_EQ(SourceWordEnd(map, text, heard[k].end), 0u) << c.text;
                continue;
            }
            const std::string source = Cp(c.sources[k]);
            const size_t at = text.find(source, from);
            ASSERT_NE(at, std::string::npos) << c.sources[k];
            from = at;
            EXPECT_EQ(SourceWordEnd(map, text, heard[k].end), at + source.size())
                << c.text << ": word " << k;
        }
    }
}

// A real book through the real stress dictionary: every word gets an accent mark, so the
// k-th word heard is the k-th word of the page, at either end of it.
TEST(FilterMap, BookThroughStressDictionary) {
    const std::filesystem::path corpus = VOCALIX_CORPUS_DIR;
    std::string dic, book;
    ASSERT_TRUE(vocalix::base::ReadFileBytes(corpus / "dict/mueller7_stress.cp1251.dic", dic));
    ASSERT_TRUE(vocalix::base::ReadFileBytes(
        corpus / "text/encodings/pushkin_pikovaya_dama.cp1251.txt", book));
    TestProgramFolder folder;
    folder.WriteDic("stress.dic", dic);
    PronunciationFilter filter(folder.Dir());
    const std::string text = book.substr(0, book.find("\r\n", 6000) + 2);
    FilterMap map;
    const std::string out = Filtered(filter, text, "stress.dic", &map);
    const auto source = Words(text);
    const auto heard = Words(out);
    ASSERT_EQ(heard.size(), source.size());
    size_t wrong = 0, rewritten = 0;
    for (size_t k = 0; k < heard.size(); ++k) {
        rewritten += heard[k].end - heard[k].start != source[k].end - source[k].start;
        if (SourceWordEnd(map, text, heard[k].end) != source[k].end ||
            SourceWordStart(map, text, heard[k].start) != source[k].start)
            ++wrong;
    }
    EXPECT_GT(rewritten, 100u) << "the dictionary rewrote too few words";
    EXPECT_EQ(wrong, 0u) << "of " << heard.size() << " words";
}
