#include "tools/FileSetOperations.h"
#include "tools/Names.h"
#include "tools/WordHunt.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "textprep/PronunciationFilter.h"
#include "textprep/StringRoutines.h"

#include <gtest/gtest.h>

using vocalix::base::Cp;
using namespace vocalix::tools;

namespace {

// The names of a names report, joined by blanks, header left out.
std::string Names(const char* text) {
    const std::string r = NamesReport(Cp(text), "f.txt");
    std::string names;
    for (size_t at = r.find("\r\n\r\n") + 4; at < r.size();) {
        const size_t end = r.find("\r\n", at);
        names += (names.empty() ? "" : " ") + r.substr(at, end - at);
        at = end + 2;
    }
    return vocalix::base::Cp1251ToUtf8(names);
}

} // namespace

TEST(Names, WholeReportHasTheHeaderFirst) {
    EXPECT_EQ(NamesReport(Cp("Вчера Яков, Иван и Анна, и Иван пришли"), Cp("Дом.txt")),
              Cp("# Имен и аббревиатур в \"Дом.txt\": 3\r\n\r\nАнна\r\nИван\r\nЯков\r\n"));
}

TEST(Names, WhichWordsAreListed) {
    struct Case {
        const char *text, *names;
    };
    const Case cases[] = {
        {"Вчера Иван пришёл", "Иван"},
        {"Пришёл. Иван сказал", ""},
        {"Он пришёл\r\n Иван сказал\r\nПётр", "Пётр"},
        {"Да; Иван, Пётр: Анна", "Иван Пётр"},
        {"видели НАСА, ЮНЕСКО, Йорка, ВЫСОТу и Быкова", "Быкова НАСА"},
        {"видел Ивана, ИВАНА и ивана", "Ивана"},
        {"он сказал \"Иван\" и \"тот\" Пётр", ""},
        {"Он ушел\r\n\r\n- Иван пришёл", ""},
        {"Он ушел\r\n\r\n– Иван пришёл", ""},
        {"Он ушел, - Иван, и ушел - Пётр, и ушел – Анна", "Анна Пётр"},
        {"и (Москва) и Рим", "Москва Рим"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Names(c.text), c.names);
    }
}

TEST(Names, RealBook) {
    std::string book;
    ASSERT_TRUE(vocalix::base::ReadFileBytes(
        VOCALIX_CORPUS_DIR "/text/encodings/pushkin_pikovaya_dama.cp1251.txt", book));
    const std::string r = NamesReport(book, "p.txt");
    EXPECT_EQ(r.rfind(Cp("# Имен и аббревиатур в \"p.txt\": "), 0), 0u);
    EXPECT_NE(r.find(Cp("\r\nГерманн\r\n")), std::string::npos);
    EXPECT_NE(r.find(Cp("\r\nТомский\r\n")), std::string::npos);
    // Once only, although the book names him a hundred times.
    EXPECT_EQ(r.find(Cp("\r\nГерманн\r\n")), r.rfind(Cp("\r\nГерманн\r\n")));
}

TEST(WordHunt, HitsWithContextAndKey) {
    const std::string text = Cp("Мы видели кошку и собаку в доме\r\nКошки");
    const std::vector<std::string> list = {Cp("КОШК*"), Cp("Собаку"), Cp("дом")};
    EXPECT_EQ(WordHuntReport(text, "t.txt", list, "list.txt"),
              Cp("# Выборка из текста \"t.txt\" по списку \"list.txt\"\r\n\r\n"
                 "в доме Кошки | кошк*\r\n"
                 "кошку и собаку в доме Кошки | собаку\r\n"
                 "Мы видели кошку и собаку в доме | кошк*\r\n"));
    EXPECT_EQ(
        WordHuntReport(Cp("кошка,\r\n\r\n спит"), "t", list, "l"),
        Cp("# Выборка из текста \"t\" по списку \"l\"\r\n\r\nкошка, _E_ _Z_ спит | кошк*\r\n"));
    EXPECT_EQ(WordHuntReport(text, "t", {}, "l"), WordHuntHeader("t", "l"));
    // An empty line of the list finds nothing, not even punctuation standing alone.
    EXPECT_EQ(WordHuntReport(Cp("Он ... ушёл !"), "t", {""}, "l"), WordHuntHeader("t", "l"));
}

// The hunt builds only the keys the list could hold; a list of any one key of a word still
// finds the word under the first key that matches it.
TEST(WordHunt, EveryKindOfKeyIsFound) {
    namespace tp = vocalix::textprep;
    const std::vector<std::string> keys = tp::CandidateKeys(Cp("Кошкин"));
    for (const std::string& key : keys) {
        if (key[0] == '$')
            continue;
        SCOPED_TRACE(key);
        std::string first;
        for (const std::string& k : keys)
            if (k[0] != '$' && tp::LowerCase(k) == tp::LowerCase(key)) {
                first = k;
                break;
            }
        EXPECT_EQ(WordHuntReport(Cp("Кошкин"), "t", {key}, "l"),
                  WordHuntHeader("t", "l") + Cp("Кошкин | ") + first + "\r\n");
    }
}

TEST(FileSet, Operations) {
    const std::vector<std::string> first = {"b", "A", "c", "a", Cp("Д"), ""};
    const std::vector<std::string> second = {"a", Cp("д"), "e", "E", ""};
    struct Case {
        FileSetOperation op;
        const char* expected;
    };
    const Case cases[] = {
        {FileSetOperation::Difference,
         "# Разность файлов. Строк ПЕРВОГО файла, отсутствующих во ВТОРОМ: 2\r\n\r\nb\r\nc\r\n"},
        {FileSetOperation::Intersection,
         "# Пересечение файлов. Строк, общих для ПЕРВОГО и ВТОРОГО файлов: 3\r\n\r\n"
         "\r\nA\r\nД\r\n"},
        {FileSetOperation::Union,
         "# Объединение файлов. Строк (без дубликатов) из ПЕРВОГО и ВТОРОГО файлов: 6\r\n\r\n"
         "\r\na\r\nb\r\nc\r\ne\r\nд\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.op));
        EXPECT_EQ(FileSetReport(c.op, Cp("/п/1.txt"), first, "/2.txt", second),
                  Cp("# 1. /п/1.txt\r\n# 2. /2.txt\r\n") + Cp(c.expected));
    }
}
