#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "cli/Cli.h"
#include "speech/Fragments.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

namespace fs = std::filesystem;
using vocalix::base::Cp;

namespace {

const fs::path kCorpus = VOCALIX_CORPUS_DIR;

class ChangedText : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory(kCorpus))
            FAIL() << "corpus folder " << kCorpus << " is absent";
        std::random_device rd;
        m_dir = fs::temp_directory_path() / ("vocalix-cli-" + std::to_string(rd()));
        fs::create_directories(m_dir / "dic");
    }
    void TearDown() override {
        std::error_code ec;
        if (!m_dir.empty())
            fs::remove_all(m_dir, ec);
    }
    void Write(const fs::path& rel, const std::string& bytes) {
        ASSERT_TRUE(vocalix::base::WriteFileAtomic(m_dir / rel, bytes));
    }
    int Run(std::vector<std::string> args) {
        m_out.str("");
        m_err.str("");
        args.insert(args.begin(), {"--program-dir", m_dir.string()});
        return vocalix::cli::RunCli(args, "/nonexistent", m_out, m_err);
    }
    static std::string Read(const fs::path& p) {
        std::string bytes;
        EXPECT_TRUE(vocalix::base::ReadFileBytes(p, bytes));
        return bytes;
    }

    fs::path m_dir;
    std::ostringstream m_out, m_err;
};

const std::string kBook = (kCorpus / "text/encodings/pushkin_pikovaya_dama.cp1251.txt").string();

} // namespace

TEST_F(ChangedText, FiltersACorpusBookToStdoutAndFile) {
    Write("dic/names.dic", Cp("графиня=Старуха\r\n$Германн=Герман\r\n_E_=<пауза>\r\n"));
    ASSERT_EQ(Run({"changed-text", "--dic", "names.dic", kBook}), 0) << m_err.str();
    const std::string utf8 = m_out.str();
    // Words glued to a dash by a no-break space are other tokens; free-standing ones change.
    EXPECT_EQ(utf8.find(" графиня "), std::string::npos);
    EXPECT_NE(utf8.find("Старуха"), std::string::npos);
    EXPECT_NE(utf8.find("старуха"), std::string::npos);
    EXPECT_EQ(utf8.find(" Германн "), std::string::npos);
    EXPECT_NE(utf8.find(" Герман "), std::string::npos);
    EXPECT_NE(utf8.find("\r\n<пауза>"), std::string::npos);
    EXPECT_EQ(m_err.str(), "");

    const fs::path out = m_dir / "out.txt";
    ASSERT_EQ(Run({"changed-text", "--dic", "names.dic", "-o", out.string(), kBook}), 0);
    EXPECT_EQ(m_out.str(), "");
    EXPECT_EQ(Read(out), Cp(utf8));
}

TEST_F(ChangedText, SelectionFromSettingsAndOverrides) {
    Write("dic/a.dic", Cp("ночь=день\r\n"));
    Write("dic/b.dic", Cp("ночь=утро\r\n_INIT_=<начало>\r\n"));
    Write("$.ini", "[SpeechEngine]\r\nDictionary=a.dic\r\n");
    ASSERT_EQ(Run({"changed-text", kBook}), 0) << m_err.str();
    EXPECT_EQ(m_out.str().find(" ночь "), std::string::npos);
    EXPECT_NE(m_out.str().find(" день"), std::string::npos);

    ASSERT_EQ(Run({"--set", "SpeechEngine/Dictionary=b.dic", "changed-text", kBook}), 0);
    EXPECT_EQ(m_out.str().rfind("<начало>", 0), 0u);
    EXPECT_NE(m_out.str().find(" утро"), std::string::npos);

    ASSERT_EQ(Run({"--set", "Others/IgnoreRules=1", "changed-text", "--dic", "b.dic", kBook}), 0);
    EXPECT_EQ(m_out.str().find("<начало>"), std::string::npos);
    EXPECT_NE(m_out.str().find(" утро"), std::string::npos);
    // vocalix-cli never writes the settings file.
    EXPECT_EQ(Read(m_dir / "$.ini"), "[SpeechEngine]\r\nDictionary=a.dic\r\n");
}

TEST_F(ChangedText, WithoutPronunciationDictionaryTheTextStaysByteForByte) {
    Write("dic/r.ini", "x=y\r\n");
    const fs::path out = m_dir / "same.txt";
    ASSERT_EQ(Run({"changed-text", "--dic", "r.ini", "-o", out.string(), kBook}), 0);
    // The text is the fragments joined: each ends with a line break of its own.
    std::vector<std::string> fragments, offsets;
    vocalix::speech::SplitToFragments(Read(kBook), 0, fragments, offsets);
    std::string joined;
    for (const std::string& f : fragments)
        joined += f;
    EXPECT_EQ(Read(out), joined);
    // A dictionary file being processed is left alone as in the window program.
    Write("dic/d.dic", Cp("кот=пёс\r\n"));
    Write("kot.dic", Cp("кот\r\n"));
    ASSERT_EQ(
        Run({"changed-text", "--dic", "d.dic", "-o", out.string(), (m_dir / "kot.dic").string()}),
        0);
    EXPECT_EQ(Read(out), Cp("кот\r\n"));
}

TEST_F(ChangedText, LfFileIsReadWithEditorLineEnds) {
    Write("dic/d.dic", "_E_=<E>\r\n");
    Write("lf.txt", "a\n\nb\n");
    ASSERT_EQ(Run({"changed-text", "--dic", "d.dic", (m_dir / "lf.txt").string()}), 0);
    EXPECT_EQ(m_out.str(), " a \r\n<E> b");
    const fs::path vim = kCorpus / "text/vimtutor/vimtutor_ru.cp1251.txt";
    ASSERT_EQ(Run({"changed-text", "--dic", "d.dic", vim.string()}), 0);
    EXPECT_NE(m_out.str().find("\r\n<E>"), std::string::npos);
}

TEST_F(ChangedText, ErrorsGiveOneLineAndStatusTwo) {
    Write("dic/d.dic", "a=b\r\n");
    const std::vector<std::vector<std::string>> bad = {
        {"changed-text", "--dic", "d.dic", (m_dir / "missing.txt").string()},
        {"changed-text", "--bogus", kBook},
        {"changed-text", "--dic"},
        {"changed-text"},
        {"changed-text", kBook, kBook},
        {"no-such-command"},
    };
    for (const auto& args : bad) {
        EXPECT_EQ(Run(args), 2) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        const std::string err = m_err.str();
        EXPECT_FALSE(err.empty());
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
        EXPECT_EQ(m_out.str(), "");
    }
    fs::remove_all(m_dir / "dic");
    EXPECT_EQ(Run({"changed-text", "--dic", "d.dic", kBook}), 2);
    EXPECT_NE(m_err.str().find("dic"), std::string::npos);
}

TEST_F(ChangedText, MissingSelectedDictionaryIsSkippedWithANote) {
    Write("dic/d.dic", Cp("ночь=день\r\n"));
    ASSERT_EQ(Run({"changed-text", "--dic", "gone.dic+d.dic", kBook}), 0);
    EXPECT_NE(m_err.str().find("gone.dic"), std::string::npos);
    EXPECT_NE(m_out.str().find(" день"), std::string::npos);
}

TEST_F(ChangedText, HelpListsTheCommand) {
    ASSERT_EQ(Run({"--help"}), 0);
    EXPECT_NE(m_out.str().find("changed-text [--dic SELECTION] [-o OUT] FILE"), std::string::npos);
}

TEST_F(ChangedText, DocumentsAreReadAsTheWindowOpensThemWithoutWritingBesideThem) {
    // An FB2 book and a KOI8 text, copied so that nothing could be written into the corpus.
    for (const char* rel : {"fb2/pushkin_pikovaya_dama.utf8.fb2", "text/books/gogol_viy.koi8r.txt"})
        fs::copy_file(kCorpus / rel, m_dir / fs::path(rel).filename());
    ASSERT_EQ(Run({"changed-text", (m_dir / "pushkin_pikovaya_dama.utf8.fb2").string()}), 0)
        << m_err.str();
    EXPECT_NE(m_out.str().find("Германн"), std::string::npos);
    EXPECT_EQ(m_out.str().find("<p>"), std::string::npos);
    ASSERT_EQ(Run({"changed-text", (m_dir / "gogol_viy.koi8r.txt").string()}), 0) << m_err.str();
    EXPECT_NE(m_out.str().find("Хома"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_dir / "pushkin_pikovaya_dama.utf8.txt"));
    // The KOI8 file is repaired in memory only.
    EXPECT_EQ(Read(m_dir / "gogol_viy.koi8r.txt"),
              Read(kCorpus / "text/books/gogol_viy.koi8r.txt"));
    EXPECT_EQ(Run({"changed-text", (m_dir / "missing.txt").string()}), 2);
}
