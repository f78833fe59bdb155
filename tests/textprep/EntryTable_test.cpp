#include "TestFolder.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "textprep/PronunciationFilter.h"
#include "textprep/StringRoutines.h"

#include <filesystem>

using namespace vocalix::textprep;
using vocalix::base::Cp;
namespace fs = std::filesystem;

// The compact table must answer every word exactly as the slot list of DicPrepare does: same
// entries, same order (longest first, file order among equals, the first line of a key
// first), same pieces dropped. Checked over a real stress dictionary with awkward lines added
// and every word of a real book.
TEST(EntryTable, AnswersEveryWordAsTheSlotListDoes) {
    const fs::path corpus = VOCALIX_CORPUS_DIR;
    std::string dic, book;
    ASSERT_TRUE(vocalix::base::ReadFileBytes(corpus / "dict/mueller7_stress.cp1251.dic", dic));
    ASSERT_TRUE(vocalix::base::ReadFileBytes(
        corpus / "text/encodings/pushkin_pikovaya_dama.cp1251.txt", book));
    std::vector<std::string> lines;
    SplitDictionaryLines(dic, lines);
    for (const char* extra :
         {"_E_=<пауза>", "_CENZ_=чёрт*", "зюзябра=старуха|барыня", "зюзябра=тётка", "зюзябра=|",
          "##=решётка", "$Германн=Герман", "германн=герман", "* и=и", "** *=звезда", "карты=карт",
          "кар*=кар", "*ты=ты", "три карты=тройка",
          // keys of every shape the lookup passes over unbuilt when the table has none
          "$*ну=ну", "я=я'", "*ар*=ар", "$Пик*=пик",
          "длиннющее=0123456789012345678901"
          "23456789012345678901234567890123456789012345678901234567890123456789012345678901234"})
        lines.push_back(Cp(extra));

    SlotList slots;
    DicPrepare(lines, slots);
    const auto compact = BuildPronunciationTable(lines);
    const DictionaryTags a = GetTags(slots), &b = compact->tags;
    EXPECT_EQ(a.E, b.E);
    EXPECT_EQ(a.CENZ, b.CENZ);
    EXPECT_EQ(b.E, Cp("<пауза>"));

    WordList x = TextToWordList(book), y = x;
    ASSERT_GT(x.size(), 5000u);
    size_t changed = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        if (x[i].empty() || IsLineMarker(x[i]))
            continue;
        const std::string fromSlots = CheckWord(slots, x, i, x.size());
        ASSERT_EQ(fromSlots, CheckWord(compact->entries, y, i, y.size())) << i << " " << x[i];
        changed += !fromSlots.empty();
    }
    EXPECT_EQ(x, y);
    EXPECT_GT(changed, 1000u);
    // Several entries of one key come back split, longest first, the empty piece dropped.
    std::vector<std::string_view> entries;
    ASSERT_TRUE(compact->entries.Find(Cp("зюзябра"), entries));
    EXPECT_EQ(entries, (std::vector<std::string_view>{Cp("зюзябра=старуха"), Cp("зюзябра=тётка"),
                                                      Cp("зюзябра="), Cp("барыня")}));
    EXPECT_TRUE(compact->entries.Find(Cp("длиннющее"), entries)); // only a dropped piece
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(compact->entries.Record(Cp("длиннющее")), Cp("длиннющее|"));
}

// Lines split across the pieces a file is read in: CR LF cut between two pieces, lone CR and
// LF, and a NUL that ends the readable text.
TEST(EntryTable, DictionaryLinesReadPieceByPiece) {
    TestProgramFolder folder;
    std::string bytes;
    std::vector<std::string> expected;
    for (size_t i = 0; bytes.size() < (3u << 20); ++i) {
        expected.push_back(std::string(i % 7, 'a') + std::to_string(i));
        bytes += expected.back() + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    }
    // A CR LF exactly across the first piece boundary.
    const std::string cut = bytes.substr(0, (1u << 20) - 1) + "\r\n" + bytes.substr((1u << 20) - 1);
    std::vector<std::string> reference;
    SplitDictionaryLines(cut + std::string(1, '\0') + "after", reference);
    folder.WriteDic("t.dic", cut + std::string(1, '\0') + "after");
    std::vector<std::string> lines;
    const size_t count = ForEachDictionaryLine(
        "t.dic", ".dic", folder.Dir(), [&lines](std::string_view l) { lines.emplace_back(l); });
    EXPECT_EQ(count, reference.size());
    EXPECT_EQ(lines, reference);
}
