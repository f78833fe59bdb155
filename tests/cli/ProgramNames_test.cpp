// Every command that starts another program, with file names a shell would misread: spaces,
// both quotes, "$", ";" and a leading "-". The programs are the real ones (the encoders and
// the office suite). The names are given relative to the working folder, as a user types
// them, so a name that begins with "-" would reach a program as an option unless the
// program is given a path that cannot be one.
#include "CliTestFixture.h"

namespace fs = std::filesystem;

namespace {

const fs::path kCorpus = VOCALIX_CORPUS_DIR;

const char* const kNames[] = {
    "-книга",                // an option, if it were passed as it stands
    "две книги",             // two arguments, if split at blanks
    "it's \"ours\"",         // an unbalanced quote
    "$HOME;rm -rf x",        // a variable and a second command
    "--help 'a' \"b\" $c;d", // all of them at once
};

class ProgramNames : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        m_old = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override {
        fs::current_path(m_old);
        CliTest::TearDown();
    }

private:
    fs::path m_old;
};

TEST_F(ProgramNames, EncodersGetEveryNameIntact) {
    ::setenv("XDG_RUNTIME_DIR", (dir / "no-runtime").c_str(), 1);
    const struct {
        const char* converter;
        const char* param;
        const char* extension;
        const char* magic;
    } encoders[] = {{"1", "-b64", ".mp3", "ID3"}, // the tag, titled with the name, comes first
                    {"2", "-q 1", ".ogg", "OggS"}};
    for (const auto& e : encoders)
        for (const char* name : kNames) {
            SCOPED_TRACE(std::string(name) + e.extension);
            Write(std::string(name) + ".txt", "Короткая книга.\r\n");
            ASSERT_EQ(Run({"--set", std::string("AudioConverter/ACNumber=") + e.converter, "--set",
                           std::string("AudioConverter/AllParam=") + e.param, "record", "--",
                           std::string(name) + ".txt"}),
                      0)
                << err.str();
            EXPECT_EQ(Read(dir / (std::string(name) + e.extension)).substr(0, strlen(e.magic)),
                      e.magic);
            EXPECT_FALSE(fs::exists(dir / (std::string(name) + ".wav")));
        }
    // Nothing else was made: no stray files named after pieces of the names.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()),
              1 + 3 * static_cast<long>(std::size(kNames))); // dic/, texts, MP3s and OGGs
}

// After "--" a name that begins with "-" is a file for every command that takes files.
TEST_F(ProgramNames, DashNamesAfterTheEndOfOptions) {
    Write("-книга.txt", "Глава 1\r\nБыл вечер.\r\nГлава 2\r\nБыло утро.\r\n");
    EXPECT_EQ(Run({"series", "-книга.txt"}), 2); // taken for an option without "--"
    ASSERT_EQ(Run({"--set", "Series/BytesInBlock=0", "series", "--", "-книга.txt"}), 0)
        << err.str();
    EXPECT_TRUE(fs::exists(dir / "-книга" / "0002_-книга.txt"));
    EXPECT_EQ(Run({"record", "-книга.txt"}), 2);
}

// The office suite takes some seconds per document: the two names that would break it most.
TEST_F(ProgramNames, OfficeSuiteGetsEveryNameIntact) {
    const std::string doc = Read(kCorpus / "doc" / "chekhov_dama_s_sobachkoy.doc");
    ASSERT_GT(doc.size(), 1000u);
    for (const char* name : {kNames[0], kNames[4]}) {
        SCOPED_TRACE(name);
        WriteBytes(std::string(name) + ".doc", doc);
        ASSERT_EQ(Run({"convert", "--", std::string(name) + ".doc"}), 0) << err.str();
        EXPECT_GT(Read(dir / (std::string(name) + ".txt")).size(), 20000u);
        EXPECT_EQ(Read(dir / (std::string(name) + ".doc")), doc);
    }
}

} // namespace
