#include "documents/OpenDocument.h"

#include "DocumentsTestUtil.h"
#include "base/Cp1251.h"
#include "documents/DocumentFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace vocalix::documents;
using vocalix::base::Cp;
using Status = vocalix::documents::OpenResult::Status;
namespace t = vocalix::documents::test;
namespace fs = std::filesystem;

TEST(OpenDocument, WebPageLeavesItsTextBesideIt) {
    t::TempDir dir;
    const std::string page = dir.File("a.html", Cp("<html><p>Привет &amp; пока</html>"));
    const OpenResult r = OpenDocument(page, "", false);
    ASSERT_EQ(r.status, Status::Loaded);
    EXPECT_EQ(r.text, Cp("\r\nПривет & пока"));
    EXPECT_EQ(r.fileName, (dir.path() / "a.txt").string());
    EXPECT_TRUE(r.written);
    EXPECT_EQ(dir.Read("a.txt"), r.text);
}

TEST(OpenDocument, RepairedTextNeverReplacesTheFileRead) {
    t::TempDir dir;
    const std::string bytes = "\x8F\xE0\xA8\xA2\xA5\xE2\n\xAC\xA8\xE0";
    const std::string dos = dir.File("dos.txt", bytes);
    const OpenResult r = OpenDocument(dos, "", false);
    EXPECT_TRUE(r.repaired);
    EXPECT_FALSE(r.written);
    EXPECT_TRUE(r.modified);
    EXPECT_EQ(r.codePage, CodePageRepair::Dos);
    EXPECT_NE(r.notice.find("DOS (866)"), std::string::npos);
    EXPECT_EQ(r.fileName, dos);
    EXPECT_EQ(r.text, Cp("Привет\r\nмир"));
    EXPECT_EQ(dir.Read("dos.txt"), bytes);
    // Windows-1251 text that the KOI8 test takes for KOI8 is not destroyed either.
    const std::string misread = dir.File("w.txt", Cp("привет Привет,"));
    EXPECT_TRUE(OpenDocument(misread, "", false).modified);
    EXPECT_EQ(dir.Read("w.txt"), Cp("привет Привет,"));

    const std::string win = dir.File("win.TXT", Cp("Привет\nмир"));
    const auto before = fs::last_write_time(win);
    const OpenResult w = OpenDocument(win, "", false);
    EXPECT_FALSE(w.repaired);
    EXPECT_FALSE(w.written);
    EXPECT_EQ(w.fileName, win); // a ".txt" name is left as it is
    EXPECT_EQ(w.text, Cp("Привет\r\nмир"));
    EXPECT_EQ(fs::last_write_time(win), before);
    EXPECT_EQ(dir.Read("win.TXT"), Cp("Привет\nмир"));
}

TEST(OpenDocument, NameAfterwardsAndTheImmediateWrite) {
    struct Case {
        const char* file;
        const char* nameAfter;
        bool written;
    };
    const Case cases[] = {
        {"x.dic", "x.dic", false},  {"x.INI", "x.INI", false},     {"x.rtf", "x.txt", true},
        {"x.h", "x.txt", true},     {"x.sh", "x.txt", true},       {"x.do", "x.txt", true},
        {"x.log", "x.txt", false},  {"noext", "noext.txt", false}, {"x.fb2", "x.txt", true},
        {"x.SHTML", "x.txt", true}, {"x.htm", "x.txt", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        t::TempDir dir;
        const std::string file = dir.File(c.file, "plain words");
        const OpenResult r = OpenDocument(file, "", false);
        ASSERT_EQ(r.status, Status::Loaded);
        EXPECT_EQ(r.fileName, (dir.path() / c.nameAfter).string());
        EXPECT_EQ(r.written, c.written);
        EXPECT_EQ(fs::exists(dir.path() / c.nameAfter), c.written || r.fileName == file);
    }
    EXPECT_TRUE(WrittenAtOnce(".", false));
    EXPECT_FALSE(WrittenAtOnce("", false));
    EXPECT_TRUE(WrittenAtOnce(".txt", true));
}

TEST(OpenDocument, ConvertedTextTakesTheNextFreeName) {
    t::TempDir dir;
    const std::string page = dir.File("a.html", "<p>new");
    dir.File("a.txt", "edited by the user");
    dir.File("a (2).txt", "another");
    const OpenResult r = OpenDocument(page, "", false);
    EXPECT_TRUE(r.written);
    EXPECT_EQ(r.fileName, (dir.path() / "a (3).txt").string());
    EXPECT_EQ(dir.Read("a.txt"), "edited by the user");
    EXPECT_EQ(dir.Read("a (3).txt"), "\r\nnew");
    // Opened again: the identical text is reused, no fourth file.
    EXPECT_EQ(OpenDocument(page, "", false).fileName, r.fileName);
    EXPECT_FALSE(fs::exists(dir.path() / "a (4).txt"));
    EXPECT_EQ(FreeTextName((dir.path() / "noext").string(), "x"), (dir.path() / "noext").string());
}

TEST(OpenDocument, RepairedDictionaryKeepsItsName) {
    t::TempDir dir;
    const std::string dic = dir.File("x.dic", "\xD0\xBF\xD1\x80\xD0\xB8=\xD0\xBE\xD1\x80\xD0\xB8");
    const OpenResult r = OpenDocument(dic, "", false);
    EXPECT_TRUE(r.repaired);
    EXPECT_EQ(r.fileName, dic);
    EXPECT_EQ(r.text, Cp("при=ори"));
    EXPECT_EQ(dir.Read("x.dic"), "\xD0\xBF\xD1\x80\xD0\xB8=\xD0\xBE\xD1\x80\xD0\xB8");
}

TEST(OpenDocument, TargetFolderTakesTheConvertedText) {
    t::TempDir dir;
    const std::string page = dir.File("src/p.htm", "<b>bold</b> text");
    dir.File("src/p_files/i.png", "PNG");
    dir.File("src/p.files/j.png", "other");
    fs::create_directories(dir.path() / "out");
    const std::string target = (dir.path() / "out").string() + "/";
    const OpenResult r = OpenDocument(page, target, true);
    EXPECT_EQ(r.fileName, target + "p.txt");
    EXPECT_EQ(dir.Read("out/p.txt"), "bold text");
    // The "_files" folder wins over ".files" and goes along in batch conversion.
    EXPECT_EQ(dir.Read("out/p_files/i.png"), "PNG");
    EXPECT_FALSE(fs::exists(dir.path() / "out/p.files"));
    // Without PicImport nothing is copied.
    fs::remove_all(dir.path() / "out/p_files");
    OpenDocument(page, target, false);
    EXPECT_FALSE(fs::exists(dir.path() / "out/p_files"));
}

TEST(OpenDocument, Fb2PicturesGoBesideTheSource) {
    t::TempDir dir;
    const std::string book =
        dir.File("book.fb2", "<?xml version=\"1.0\" encoding=\"utf-8\"?><p>Текст</p>"
                             "<binary id=\"a\" content-type=\"image/png\">QUJD</binary>");
    fs::create_directories(dir.path() / "out");
    const OpenResult r = OpenDocument(book, (dir.path() / "out").string() + "/", true);
    EXPECT_EQ(r.text, Cp("\r\nТекст"));
    EXPECT_EQ(dir.Read("book.files/Image-1.png"), "ABC");
    EXPECT_EQ(dir.Read("out/book.txt"), r.text);
    EXPECT_TRUE(r.pictureError.empty());
}

TEST(OpenDocument, PictureFolderThatCannotBeCreatedLosesNoText) {
    t::TempDir dir;
    const std::string book =
        dir.File("book.fb2", "<p>text</p><binary content-type=\"image/png\">QUJD</binary>");
    dir.File("book.files", "a file where the folder should be");
    const OpenResult r = OpenDocument(book, "", true);
    ASSERT_EQ(r.status, Status::Loaded);
    EXPECT_EQ(r.text, "\r\ntext");
    EXPECT_FALSE(r.pictureError.empty());
    EXPECT_EQ(dir.Read("book.txt"), r.text);
}

TEST(OpenDocument, WordDocumentsNeedTheOfficeProgram) {
    t::TempDir dir;
    const std::string doc = dir.File("d.docx", "PK");
    const OpenResult missing = OpenDocument(doc, "", true);
    EXPECT_EQ(missing.status, Status::WordMissing);
    EXPECT_EQ(missing.fileName, "");

    OfficeHooks office;
    std::string htmlAsked;
    office.wordToHtml = [&](const std::string& f, const std::string&) {
        htmlAsked = f;
        return dir.File("d.htm", "<p>x");
    };
    office.wordToText = [&](const std::string&, const std::string&) {
        return dir.File("d.txt", "converted\n");
    };
    const OpenResult r = OpenDocument(doc, "", true, office);
    EXPECT_EQ(r.status, Status::Loaded);
    EXPECT_EQ(r.text, "converted\r\n");
    EXPECT_EQ(r.fileName, (dir.path() / "d.txt").string());
    EXPECT_EQ(htmlAsked, doc);
    EXPECT_FALSE(fs::exists(dir.path() / "d.htm")); // only its pictures were wanted
}

TEST(OpenDocument, BadInputNeitherCrashesNorWritesHalfTexts) {
    t::TempDir dir;
    // Missing and unreadable files: nothing happens.
    EXPECT_EQ(OpenDocument((dir.path() / "none.txt").string(), "", false).status,
              Status::Unreadable);
    const std::string locked = dir.File("locked.html", "<p>secret");
    fs::permissions(locked, fs::perms::none);
    if (access(locked.c_str(), R_OK) != 0) { // root reads everything
        EXPECT_EQ(OpenDocument(locked, "", false).status, Status::Unreadable);
        EXPECT_FALSE(fs::exists(dir.path() / "locked.txt"));
    }
    // Empty files.
    const OpenResult empty = OpenDocument(dir.File("empty.html", ""), "", false);
    EXPECT_EQ(empty.status, Status::Loaded);
    EXPECT_EQ(empty.text, "");
    // Binary bytes with a text extension.
    std::string binary;
    for (int i = 0; i < 70000; ++i)
        binary += static_cast<char>((i * 7919) % 256);
    for (const char* name : {"bin.txt", "bin.html", "bin.fb2", "bin.rtf"}) {
        const OpenResult r = OpenDocument(dir.File(name, binary), "", true);
        EXPECT_EQ(r.status, Status::Loaded) << name;
    }
    // Truncated markup keeps what was there.
    EXPECT_EQ(OpenDocument(dir.File("cut.fb2", Cp("<p>Начало</p><p>обре")), "", false).text,
              "\r\n" + Cp("Начало") + "\r\n" + Cp("обре"));
    EXPECT_EQ(OpenDocument(dir.File("cut.rtf", "{\\rtf1 \\'cf\\'f0\\par ab"), "", false).text,
              Cp("Пр") + "\r\nab");
    // A converted text that cannot be written is reported, and the text is still there.
    fs::create_directories(dir.path() / "ro");
    const std::string ro = dir.File("ro/page.html", "<p>keep");
    fs::permissions(dir.path() / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    if (access((dir.path() / "ro").c_str(), W_OK) != 0) {
        const OpenResult r = OpenDocument(ro, "", false);
        EXPECT_EQ(r.text, "\r\nkeep");
        EXPECT_FALSE(r.written);
        EXPECT_FALSE(r.writeError.empty());
    }
}

// Every document of the corpus opens, and gives Cyrillic text without markup.
TEST(CorpusOpen, EveryDocumentOpensAsSensibleText) {
    VOCALIX_NEED_CORPUS();
    t::TempDir dir;
    std::size_t opened = 0;
    for (const auto& entry : fs::recursive_directory_iterator(t::CorpusDir())) {
        if (!entry.is_regular_file())
            continue;
        const std::string rel = fs::relative(entry.path(), t::CorpusDir()).string();
        SCOPED_TRACE(rel);
        // Opening writes beside the source, so each file is opened from a scratch copy.
        const fs::path copy = dir.path() / rel;
        fs::create_directories(copy.parent_path());
        fs::copy_file(entry.path(), copy, fs::copy_options::overwrite_existing);
        fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write);
        const OpenResult r = OpenDocument(copy.string(), "", true);
        const std::string ext = LowerExtension(rel);
        if (ext == ".doc" || ext == ".docx") {
            EXPECT_EQ(r.status, Status::WordMissing);
            continue;
        }
        ASSERT_EQ(r.status, Status::Loaded);
        ++opened;
        if (rel.find("mac-cyrillic") != std::string::npos ||
            rel.find("iso-8859-5") != std::string::npos ||
            rel.find("ibm855") != std::string::npos || rel.find(".iso-ru") != std::string::npos)
            continue; // code pages the program does not know
        if (rel == "SOURCES.md")
            continue; // English notes with a few Russian names: not a Russian text
        // Sensible Russian text: lower-case Cyrillic letters, mostly "о", "е", "а".
        std::size_t cyrillic = 0, o = 0;
        for (unsigned char c : r.text) {
            cyrillic += c >= 0xE0;
            o += c == 0xEE || c == 0xE5 || c == 0xE0;
        }
        EXPECT_GE(cyrillic, std::min<std::size_t>(100, r.text.size() / 20));
        EXPECT_GT(o * 5, cyrillic) << "letter statistics are not Russian";
        if (ext == ".html" || ext == ".fb2" || ext == ".rtf") {
            EXPECT_EQ(r.text.find("</"), std::string::npos);
            EXPECT_EQ(r.text.find("\\par"), std::string::npos);
        }
    }
    EXPECT_GT(opened, 40u);
}

TEST(CorpusOpen, Fb2BookInBothCodePagesGivesOneTextAndItsPictures) {
    VOCALIX_NEED_CORPUS();
    t::TempDir dir;
    std::string texts[2];
    int k = 0;
    for (const char* name :
         {"pushkin_pikovaya_dama.utf8.fb2", "pushkin_pikovaya_dama.cp1251.fb2"}) {
        fs::copy_file(t::CorpusDir() / "fb2" / name, dir.path() / name);
        const OpenResult r = OpenDocument((dir.path() / name).string(), "", true);
        texts[k++] = r.text;
        const fs::path pics = dir.path() / ChangeFileExt(name, ".files");
        EXPECT_EQ(t::CorpusFile("fb2/" + std::string(name)).size() > 0, true);
        EXPECT_EQ(dir.Read(fs::relative(pics / "Image-1.jpeg", dir.path())).substr(0, 3),
                  "\xFF\xD8\xFF");
        EXPECT_EQ(dir.Read(fs::relative(pics / "Image-2.png", dir.path())).substr(1, 3), "PNG");
        EXPECT_EQ(dir.Read(fs::relative(pics / "Image-3.png", dir.path())).substr(1, 3), "PNG");
    }
    EXPECT_EQ(texts[0], texts[1]);
    EXPECT_NE(texts[0].find(Cp("Однажды играли в карты у конногвардейца Нарумова.")),
              std::string::npos);
    EXPECT_EQ(texts[0].find("binary"), std::string::npos);
}
