#include "documents/EpubReader.h"

#include "DocumentsTestUtil.h"
#include "EpubTestBook.h"
#include "base/Cp1251.h"
#include "documents/BookInfo.h"
#include "documents/CodePages.h"
#include "documents/DocumentFiles.h"
#include "documents/OpenDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace vocalix::documents;
using vocalix::base::Cp;
using Status = vocalix::documents::OpenResult::Status;
namespace t = vocalix::documents::test;
namespace fs = std::filesystem;

namespace {

t::SourceBook CorpusBook() {
    t::SourceBook book =
        t::LoadSourceBook(t::CorpusDir() / "fb2" / "pushkin_pikovaya_dama.utf8.fb2");
    EXPECT_FALSE(book.title.empty());
    EXPECT_GE(book.sections.size(), 3u);
    EXPECT_FALSE(book.pictures.empty());
    return book;
}

std::string HtmlText(const std::string& utf8Xhtml) {
    std::vector<std::string> unused;
    return HtmlToText(vocalix::base::ToCrLf(Utf8ToWin(utf8Xhtml)), unused);
}

t::ZipEntry* Find(std::vector<t::ZipEntry>& entries, const std::string& name) {
    for (t::ZipEntry& e : entries)
        if (e.name == name)
            return &e;
    ADD_FAILURE() << "no entry " << name;
    return &entries.front();
}

// Where two long texts part, for a failure message that stays readable.
std::size_t Mismatch(const std::string& a, const std::string& b) {
    return std::size_t(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

} // namespace

TEST(EpubReader, BothVersionsOpenInSpineOrderWithTitleAuthorAndPictures) {
    VOCALIX_NEED_CORPUS();
    const t::SourceBook source = CorpusBook();
    for (int version : {2, 3}) {
        SCOPED_TRACE(version);
        t::TempDir dir;
        const t::EpubLayout epub = t::MakeEpub(source, version);
        const fs::path file = dir.path() / "Пиковая дама.epub";
        ASSERT_TRUE(t::WriteZip(file, epub.entries));

        const OpenResult r = OpenDocument(file.string(), "", true);
        ASSERT_EQ(r.status, Status::Loaded) << vocalix::base::Cp1251ToUtf8(r.readError);
        // The package's title, on a line of its own, then every document of the spine.
        std::string expected = Cp(source.title) + "\r\n\r\n";
        for (const std::string& doc : epub.readingOrder)
            expected += HtmlText(doc);
        EXPECT_TRUE(r.text == expected) << "differs at " << Mismatch(r.text, expected);
        EXPECT_EQ(NameFromFirstLines(r.text), Cp(source.title));
        EXPECT_LT(r.text.find(Cp("Однажды играли в карты")), r.text.find(Cp("Заключение")));
        EXPECT_EQ(r.bookTitle, Cp(source.title));
        EXPECT_EQ(r.bookAuthor, Cp(source.author)); // the illustrator is no author

        EXPECT_TRUE(r.written);
        EXPECT_EQ(r.fileName, (dir.path() / "Пиковая дама.txt").string());
        EXPECT_EQ(dir.Read("Пиковая дама.txt"), r.text);
        const BookInfo ofText = ReadBookInfo(r.fileName); // the book beside the text
        EXPECT_EQ(ofText.title, r.bookTitle);
        EXPECT_EQ(ofText.author, r.bookAuthor);
        EXPECT_TRUE(r.pictureError.empty());
        for (std::size_t k = 0; k < source.pictures.size(); ++k) {
            const t::PictureSource& p = source.pictures[k];
            const std::string name =
                "Image-" + std::to_string(k + 1) + PictureExtension(p.mediaType);
            EXPECT_EQ(dir.Read("Пиковая дама.files/" + name), p.bytes) << name;
        }
        EXPECT_FALSE(fs::exists(dir.path() / "Пиковая дама.files" /
                                ("Image-" + std::to_string(source.pictures.size() + 1) + ".png")));

        // Without PicImport no folder appears; the text alone reads the same from memory.
        const fs::path copy = dir.path() / "copy.epub";
        fs::copy_file(file, copy);
        EXPECT_TRUE(OpenDocument(copy.string(), "", false).text == expected);
        EXPECT_FALSE(fs::exists(dir.path() / "copy.files"));
        EpubBook book;
        ASSERT_TRUE(ReadEpubBytes(dir.Read("copy.epub"), false, book));
        EXPECT_TRUE(book.text == expected);
        EXPECT_TRUE(book.pictures.empty());
    }
}

TEST(EpubReader, BrokenBooksAreRefusedWithTheirReason) {
    const t::SourceBook source = CorpusBook();
    const std::string opf = "OEBPS/package.opf";
    const std::string part1 = "OEBPS/text/part 1.xhtml";
    using Entries = std::vector<t::ZipEntry>;
    const auto editOpf = [&](std::string from, std::string to) {
        return [=](Entries& e) {
            std::string& text = Find(e, opf)->bytes;
            ASSERT_NE(text.find(from), std::string::npos) << from;
            text = t::ReplaceAll(text, from, to);
        };
    };
    struct Case {
        const char* what;
        std::function<void(Entries&)> edit;
        const char* message; // part of the reason (UTF-8)
        EpubLimits limits = {};
    };
    const Case cases[] = {
        {"no container", [](Entries& e) { Find(e, "META-INF/container.xml")->name = "x.xml"; },
         "нет файла META-INF/container.xml"},
        {"no package", [&](Entries& e) { Find(e, opf)->name = "other.opf"; },
         "нет файла описания OEBPS/package.opf"},
        {"container names nothing",
         [](Entries& e) { Find(e, "META-INF/container.xml")->bytes = "<container/>"; },
         "не указано её описание"},
        {"package not XML", editOpf("</manifest>", "</manifst>"), "package.opf в книге повреждён"},
        {"spine names an unknown item", editOpf("idref=\"s2\"", "idref=\"s99\""),
         "неизвестный раздел \"s99\""},
        {"spine names a missing file", [&](Entries& e) { Find(e, part1)->name = "gone.xhtml"; },
         "нет файла OEBPS/text/part 1.xhtml"},
        {"link out of the book", editOpf("href=\"text/part%201.xhtml", "href=\"../../etc/passwd"),
         "за пределы книги: ../../etc/passwd"},
        {"nothing to read", editOpf("<itemref", "<notref"), "нет ни одного текста"},
        {"zip bomb", [&](Entries& e) { Find(e, part1)->bytes.append(4u << 20, ' '); },
         "архивная бомба"},
        {"entry too big", [](Entries&) {}, "слишком велик", {16 << 10, 512ull << 20, 100, 1 << 20}},
        {"book too big",
         [](Entries&) {},
         "Книга слишком велика",
         {64 << 20, 64 << 10, 100, 1 << 20}},
        {"encrypted entry", [&](Entries& e) { Find(e, part1)->aesKey = true; },
         "part 1.xhtml в книге зашифрован"},
        {"copy protection",
         [&](Entries& e) {
             e.push_back({"META-INF/encryption.xml",
                          "<encryption><EncryptedData><CipherData><CipherReference "
                          "URI=\"OEBPS/text/part%201.xhtml\"/></CipherData></EncryptedData>"
                          "</encryption>"});
         },
         "защищена от копирования"},
    };
    ASSERT_TRUE(zip_encryption_method_supported(ZIP_EM_AES_256, 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        t::TempDir dir;
        t::EpubLayout epub = t::MakeEpub(source, 2);
        c.edit(epub.entries);
        const fs::path file = dir.path() / "b.epub";
        ASSERT_TRUE(t::WriteZip(file, epub.entries));
        EpubBook book;
        std::string error;
        EXPECT_FALSE(ReadEpub(file.string(), true, book, &error, c.limits));
        EXPECT_NE(error.find(Cp(c.message)), std::string::npos)
            << vocalix::base::Cp1251ToUtf8(error);
    }
}

TEST(EpubReader, DamagedArchivesLoseNothing) {
    const t::SourceBook source = CorpusBook();
    t::TempDir dir;
    t::EpubLayout epub = t::MakeEpub(source, 2);
    Find(epub.entries, "OEBPS/text/part 1.xhtml")->stored = true;
    ASSERT_TRUE(t::WriteZip(dir.path() / "good.epub", epub.entries));
    const std::string good = dir.Read("good.epub");
    std::string flipped = good; // a byte of the stored document changes: its checksum fails
    const std::size_t at = flipped.find("Однажды");
    ASSERT_NE(at, std::string::npos);
    flipped[at] = 'X';
    const std::pair<std::string, const char*> cases[] = {
        {Cp("просто текст, а не книга"), "не является архивом ZIP"},
        {good.substr(0, good.size() / 2), "ZIP"},
        {flipped, "part 1.xhtml в книге повреждён"},
    };
    for (const auto& [bytes, message] : cases) {
        const std::string name = dir.File("bad.epub", bytes);
        const OpenResult r = OpenDocument(name, "", true);
        EXPECT_EQ(r.status, Status::Unreadable);
        EXPECT_NE(r.readError.find(Cp(message)), std::string::npos)
            << vocalix::base::Cp1251ToUtf8(r.readError);
        EXPECT_EQ(dir.Read("bad.epub"), bytes);
        EXPECT_FALSE(fs::exists(dir.path() / "bad.txt"));
        EXPECT_FALSE(fs::exists(dir.path() / "bad.files"));
        EpubBook book;
        EXPECT_FALSE(ReadEpubBytes(bytes, true, book));
    }
}
