#include "documents/BookInfo.h"

#include "DocumentsTestUtil.h"
#include "base/Cp1251.h"
#include "documents/OpenDocument.h"

#include <gtest/gtest.h>

using namespace vocalix::documents;
using vocalix::base::Cp;
namespace t = vocalix::documents::test;
namespace fs = std::filesystem;

// The corpus book in both of its code pages: the title and the full name of the author, from
// the file itself, from the text that opening it makes beside it, and in the open result.
TEST(BookInfo, CorpusFb2InBothCodePages) {
    VOCALIX_NEED_CORPUS();
    for (const char* name :
         {"pushkin_pikovaya_dama.utf8.fb2", "pushkin_pikovaya_dama.cp1251.fb2"}) {
        SCOPED_TRACE(name);
        t::TempDir dir;
        const std::string book = dir.File(name, t::CorpusFile(std::string("fb2/") + name));
        const BookInfo info = ReadBookInfo(book);
        EXPECT_EQ(vocalix::base::Cp1251ToUtf8(info.title), "Пиковая дама");
        // The document's own author ("corpus", in document-info) is not the book's.
        EXPECT_EQ(vocalix::base::Cp1251ToUtf8(info.author), "Александр Сергеевич Пушкин");

        const OpenResult r = OpenDocument(book, "", false);
        ASSERT_TRUE(r.written);
        EXPECT_EQ(r.bookTitle, info.title);
        EXPECT_EQ(r.bookAuthor, info.author);
        const BookInfo ofText = ReadBookInfo(r.fileName);
        EXPECT_EQ(ofText.title, info.title);
        EXPECT_EQ(ofText.author, info.author);
    }
}

// Descriptions as books write them; whatever is damaged or missing gives what is known.
TEST(BookInfo, Fb2Descriptions) {
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<FictionBook><description>";
    struct Case {
        const char* what;
        std::string bytes;
        const char* title;
        const char* author;
    } cases[] = {
        {"two authors, one by nickname, markup and blanks in the title",
         head + "<title-info><author><last-name>Ильф</last-name><first-name>Илья</first-name>"
                "</author><author><nickname>Петров</nickname></author>"
                "<book-title> Двенадцать\n  <emphasis>стульев</emphasis></book-title>"
                "</title-info></description><body/></FictionBook>",
         "Двенадцать стульев", "Илья Ильф, Петров"},
        {"cut off inside the description", head + "<title-info><book-title>Обрыв</book-title><au",
         "Обрыв", ""},
        {"the book's title only in the body",
         head + "</description><body><title-info><book-title>Нет</book-title></title-info></body>",
         "", ""},
        {"Windows-1251 declared in single quotes",
         "<?xml version='1.0' encoding='Windows-1251'?><FictionBook><description><title-info>"
         "<book-title>" +
             Cp("Война и мир") + "</book-title></title-info></description></FictionBook>",
         "Война и мир", ""},
        {"not XML at all", "Просто текст", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const BookInfo info = Fb2BookInfo(c.bytes);
        EXPECT_EQ(vocalix::base::Cp1251ToUtf8(info.title), c.title);
        EXPECT_EQ(vocalix::base::Cp1251ToUtf8(info.author), c.author);
    }
}
