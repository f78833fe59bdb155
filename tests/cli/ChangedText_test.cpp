#include "CliTestFixture.h"
#include "base/Cp1251.h"
#include "speech/Fragments.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

namespace fs = std::filesystem;
using vocalix::base::Cp;

namespace {

const fs::path kCorpus = VOCALIX_CORPUS_DIR;

class ChangedText : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        if (!fs::is_directory(kCorpus))
            FAIL() << "corpus folder " << kCorpus << " is absent";
    }
    void Write(const fs::path& rel, const std::string& bytes) { WriteBytes(rel, bytes); }
};

const std::string kBook = (kCorpus / "text/encodings/pushkin_pikovaya_dama.cp1251.txt").string();

} // namespace

TEST_F(ChangedText, FiltersACorpusBookToStdoutAndFile) {
    Write("dic/names.dic", Cp("графиня=Старуха\r\n$Германн=Герман\r\n_E_=<пауза>\r\n"));
    ASSERT_EQ(Run({"changed-text", "--dic", "names.dic", kBook}), 0) << err.str();
    const std::string utf8 = out.str();
    // Words glued to a dash by a no-break space are other tokens; free-standing ones change.
    EXPECT_EQ(utf8.find(" графиня "), std::string::npos);
    EXPECT_NE(utf8.find("Старуха"), std::string::npos);
    EXPECT_NE(utf8.find("старуха"), std::string::npos);
    EXPECT_EQ(utf8.find(" Германн "), std::string::npos);
    EXPECT_NE(utf8.find(" Герман "), std::string::npos);
    EXPECT_NE(utf8.find("\r\n<пауза>"), std::string::npos);
    EXPECT_EQ(err.str(), "");

    const fs::path outFile = dir / "out.txt";
    ASSERT_EQ(Run({"changed-text", "--dic", "names.dic", "-o", outFile.string(), kBook}), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Read(outFile), Cp(utf8));
}

TEST_F(ChangedText, SelectionFromSettingsAndOverrides) {
    Write("dic/a.dic", Cp("ночь=день\r\n"));
    Write("dic/b.dic", Cp("ночь=утро\r\n_INIT_=<начало>\r\n"));
    Write("$.ini", "[SpeechEngine]\r\nDictionary=a.dic\r\n");
    ASSERT_EQ(Run({"changed-text", kBook}), 0) << err.str();
    EXPECT_EQ(out.str().find(" ночь "), std::string::npos);
    EXPECT_NE(out.str().find(" день"), std::string::npos);

    ASSERT_EQ(Run({"--set", "SpeechEngine/Dictionary=b.dic", "changed-text", kBook}), 0);
    EXPECT_EQ(out.str().rfind("<начало>", 0), 0u);
    EXPECT_NE(out.str().find(" утро"), std::string::npos);

    ASSERT_EQ(Run({"--set", "Others/IgnoreRules=1", "changed-text", "--dic", "b.dic", kBook}), 0);
    EXPECT_EQ(out.str().find("<начало>"), std::string::npos);
    EXPECT_NE(out.str().find(" утро"), std::string::npos);
    // vocalix-cli never writes the settings file.
    EXPECT_EQ(Read(dir / "$.ini"), "[SpeechEngine]\r\nDictionary=a.dic\r\n");
}

TEST_F(ChangedText, WithoutPronunciationDictionaryTheTextStaysByteForByte) {
    Write("dic/r.ini", "x=y\r\n");
    const fs::path outFile = dir / "same.txt";
    ASSERT_EQ(Run({"changed-text", "--dic", "r.ini", "-o", outFile.string(), kBook}), 0);
    // The text is the fragments joined: each ends with a line break of its own.
    std::vector<std::string> fragments, offsets;
    vocalix::speech::SplitToFragments(Read(kBook), 0, fragments, offsets);
    std::string joined;
    for (const std::string& f : fragments)
        joined += f;
    EXPECT_EQ(Read(outFile), joined);
    // A dictionary file being processed is left alone as in the window program.
    Write("dic/d.dic", Cp("кот=пёс\r\n"));
    Write("kot.dic", Cp("кот\r\n"));
    ASSERT_EQ(
        Run({"changed-text", "--dic", "d.dic", "-o", outFile.string(), (dir / "kot.dic").string()}),
        0);
    EXPECT_EQ(Read(outFile), Cp("кот\r\n"));
}

TEST_F(ChangedText, LfFileIsReadWithEditorLineEnds) {
    Write("dic/d.dic", "_E_=<E>\r\n");
    Write("lf.txt", "a\n\nb\n");
    ASSERT_EQ(Run({"changed-text", "--dic", "d.dic", (dir / "lf.txt").string()}), 0);
    EXPECT_EQ(out.str(), " a \r\n<E> b");
    const fs::path vim = kCorpus / "text/vimtutor/vimtutor_ru.cp1251.txt";
    ASSERT_EQ(Run({"changed-text", "--dic", "d.dic", vim.string()}), 0);
    EXPECT_NE(out.str().find("\r\n<E>"), std::string::npos);
}

TEST_F(ChangedText, ErrorsGiveOneLineAndStatusTwo) {
    Write("dic/d.dic", "a=b\r\n");
    const std::vector<std::vector<std::string>> bad = {
        {"changed-text", "--dic", "d.dic", (dir / "missing.txt").string()},
        {"changed-text", "--bogus", kBook},
        {"changed-text", "--dic"},
        {"changed-text"},
        {"changed-text", kBook, kBook},
        {"no-such-command"},
    };
    for (const auto& args : bad) {
        EXPECT_EQ(Run(args), 2) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        const std::string message = err.str();
        EXPECT_FALSE(message.empty());
        EXPECT_EQ(message.find('\n'), message.size() - 1) << message;
        EXPECT_EQ(out.str(), "");
    }
    fs::remove_all(dir / "dic");
    EXPECT_EQ(Run({"changed-text", "--dic", "d.dic", kBook}), 2);
    EXPECT_NE(err.str().find("dic"), std::string::npos);
}

TEST_F(ChangedText, MissingSelectedDictionaryIsSkippedWithANote) {
    Write("dic/d.dic", Cp("ночь=день\r\n"));
    ASSERT_EQ(Run({"changed-text", "--dic", "gone.dic+d.dic", kBook}), 0);
    EXPECT_NE(err.str().find("gone.dic"), std::string::npos);
    EXPECT_NE(out.str().find(" день"), std::string::npos);
}

TEST_F(ChangedText, HelpListsTheCommand) {
    ASSERT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out.str().find("changed-text [--dic SELECTION] [-o OUT] FILE"), std::string::npos);
}

TEST_F(ChangedText, DocumentsAreReadAsTheWindowOpensThemWithoutWritingBesideThem) {
    // An FB2 book and a KOI8 text, copied so that nothing could be written into the corpus.
    for (const char* rel : {"fb2/pushkin_pikovaya_dama.utf8.fb2", "text/books/gogol_viy.koi8r.txt"})
        fs::copy_file(kCorpus / rel, dir / fs::path(rel).filename());
    ASSERT_EQ(Run({"changed-text", (dir / "pushkin_pikovaya_dama.utf8.fb2").string()}), 0)
        << err.str();
    EXPECT_NE(out.str().find("Германн"), std::string::npos);
    EXPECT_EQ(out.str().find("<p>"), std::string::npos);
    ASSERT_EQ(Run({"changed-text", (dir / "gogol_viy.koi8r.txt").string()}), 0) << err.str();
    EXPECT_NE(out.str().find("Хома"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "pushkin_pikovaya_dama.utf8.txt"));
    // The KOI8 file is repaired in memory only.
    EXPECT_EQ(Read(dir / "gogol_viy.koi8r.txt"), Read(kCorpus / "text/books/gogol_viy.koi8r.txt"));
    EXPECT_EQ(Run({"changed-text", (dir / "missing.txt").string()}), 2);
}
