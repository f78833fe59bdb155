#include "audio/Series.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace vocalix;

namespace {

class SeriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vocalix-series-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    static std::string Read(const fs::path& p) {
        std::string bytes;
        base::ReadFileBytes(p, bytes);
        return bytes;
    }
    fs::path dir;
};

// The corpus book, as the page holds it: Windows-1251 with CR LF.
std::string Book() {
    std::string utf8;
    EXPECT_TRUE(base::ReadFileBytes(
        fs::path(VOCALIX_CORPUS_DIR) / "text/books/pushkin_kapitanskaya_dochka.utf8.txt", utf8));
    return base::ToCrLf(base::Utf8ToCp1251(utf8));
}

} // namespace

TEST(ChapterHeading, Examples) {
    struct Case {
        const char* line;
        bool heading;
    } cases[] = {
        {"Глава 5", true},
        {"CHAPTER TWELVE", true},
        {"chapter twelve", true},
        {"XIV. ВОЗВРАЩЕНИЕ", true},
        {"  ГЛАВА I  ", true},
        {"!Эпилог", true},
        {"12. Вечер", false},
        {"Глава первая.", false},
        {"Глава", false},
        {"", false},
        {"XIV: ВОЗВРАЩЕНИЕ", false},
        {"A. Б", false},
        {"Глава 5 была длинной, и продолжалась до утра", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(audio::IsChapterHeading(base::Cp(c.line), true), c.heading) << c.line;
    EXPECT_FALSE(audio::IsChapterHeading(base::Cp("Глава 5"), false));
}

// A real book: parts in order, none empty, together the whole text, cut at the chapters.
TEST_F(SeriesTest, BookIsCutAtChapterHeadings) {
    const std::string text = Book();
    const fs::path base = dir / "Книга.txt";
    const audio::SeriesResult r = audio::MakeSeries(text, base, ".audio", {32768, true, false});
    ASSERT_TRUE(r.error.empty()) << base::Cp1251ToUtf8(r.error);
    ASSERT_GT(r.parts.size(), 10u);
    EXPECT_EQ(r.parts[2], dir / "Книга.audio" / "0003_Книга.txt");
    std::string joined;
    int startsWithChapter = 0;
    for (const fs::path& part : r.parts) {
        const std::string body = Read(part);
        ASSERT_FALSE(body.empty()) << part;
        if (body.rfind(base::Cp("ГЛАВА "), 0) == 0)
            ++startsWithChapter;
        joined += body;
    }
    EXPECT_EQ(joined, text);
    EXPECT_GE(startsWithChapter, 13);

    // A second run replaces the first, also when the new one has fewer parts.
    const std::string audioName = "0002_Книга.mp3";
    ASSERT_TRUE(base::WriteFileAtomic(r.folder / audioName, "ID3"));
    const audio::SeriesResult again = audio::MakeSeries(text, base, ".audio", {0, true, false});
    ASSERT_TRUE(again.error.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(r.folder), fs::directory_iterator()),
              static_cast<long>(again.parts.size()));
}

TEST_F(SeriesTest, HeaderLinesAndNoEmptyPart) {
    std::string text = base::Cp("Глава 1\r\nНачало.\r\n");
    for (int i = 2; i <= 4; ++i)
        text += base::Cp("Глава ") + std::to_string(i) + base::Cp("\r\nТекст главы.\r\n");
    const audio::SeriesResult r = audio::MakeSeries(text, dir / "b.txt", "", {0, true, true});
    ASSERT_EQ(r.parts.size(), 4u);
    EXPECT_EQ(Read(r.parts[0]), base::Cp("Текст \"b\". Серия 1.\r\n\r\nГлава 1\r\nНачало.\r\n"));
    EXPECT_EQ(
        Read(r.parts[2]).rfind(base::Cp("Продолжение текста \"b\". Серия 3.\r\n\r\nГлава 3"), 0),
        0u);
    // A line longer than the limit at the start gives no empty part either.
    const audio::SeriesResult longLine = audio::MakeSeries(std::string(50, 'a') + "\r\nb\r\nc\r\n",
                                                           dir / "c.txt", "", {10, true, false});
    ASSERT_EQ(longLine.parts.size(), 2u);
    EXPECT_EQ(Read(longLine.parts[0]), std::string(50, 'a') + "\r\n");
}

// A folder of the same name that holds anything the series did not write is left alone: the
// user's folder named like the book, or "dic" for a page whose first line is "dic".
TEST_F(SeriesTest, ForeignFolderIsNeverDeleted) {
    const std::string text = base::Cp("Глава 1\r\nа\r\nГлава 2\r\nб\r\n");
    for (const char* own : {"dic/Русский.dic", "Книга/notes.txt", "Книга/0001_Книга.txt/x"}) {
        SCOPED_TRACE(own);
        const fs::path file = dir / own;
        fs::create_directories(file.parent_path());
        ASSERT_TRUE(base::WriteFileAtomic(file, "keep"));
        const fs::path base = dir / fs::path(own).begin()->string();
        const audio::SeriesResult r = audio::MakeSeries(text, base, "", {0, true, false});
        EXPECT_TRUE(r.parts.empty());
        EXPECT_NE(base::Cp1251ToUtf8(r.error).find("уже существует"), std::string::npos);
        EXPECT_EQ(Read(file), "keep");
    }
}
