#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>

namespace fs = std::filesystem;
using vocalix::base::Cp;

namespace {

class CmdSpeech : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        m_dir = fs::temp_directory_path() / ("vocalix-speak-" + std::to_string(rd()));
        fs::create_directories(m_dir / "dic");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    int Run(std::vector<std::string> args) {
        m_out.str("");
        m_err.str("");
        args.insert(args.begin(), {"--program-dir", m_dir.string()});
        return vocalix::cli::RunCli(args, "/nonexistent", m_out, m_err);
    }
    fs::path m_dir;
    std::ostringstream m_out, m_err;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST_F(CmdSpeech, VoicesListsBothGenerationsRussianFirst) {
    ASSERT_EQ(Run({"voices"}), 0) << m_err.str();
    const auto lines = Lines(m_out.str());
    ASSERT_GT(lines.size(), 10u);
    EXPECT_EQ(lines.front().rfind("SAPI5 0 Русский", 0), 0u) << lines.front();
    size_t sapi4 = 0;
    while (sapi4 < lines.size() && lines[sapi4].rfind("SAPI4 ", 0) != 0)
        ++sapi4;
    ASSERT_LT(sapi4, lines.size());
    EXPECT_EQ(lines[sapi4].rfind("SAPI4 0 Русский", 0), 0u) << lines[sapi4];
    EXPECT_EQ(lines.size(), 2 * sapi4); // the same voices in both generations
}

TEST_F(CmdSpeech, SpeakPrintsEachFragmentAfterTheRules) {
    // Needs the audio server of scripts/audio-session.sh; without it the message is checked.
    ASSERT_TRUE(vocalix::base::WriteFileAtomic(m_dir / "dic" / "test.ini", Cp("кот=пёс\r\n")));
    // The file is opened as the window opens it, so it must read as natural Windows-1251 text
    // (a text with many "п" and no "а" is taken for KOI8).
    std::string text;
    for (int i = 0; i < 3; ++i)
        text += Cp("Кот спит на диване. ") + std::string(20, 'x') + "\r\n";
    ASSERT_TRUE(vocalix::base::WriteFileAtomic(m_dir / "page.txt", text));
    const int rc =
        Run({"--set", "Others/BytesInFrag=40", "--set", "SAPI/SAPI5=1", "--set",
             "SpeechEngine/Speed=10", "speak", "--dic", "test.ini", (m_dir / "page.txt").string()});
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !fs::exists(fs::path(runtime) / "pulse" / "native")) {
        EXPECT_EQ(rc, 2);
        EXPECT_NE(m_err.str().find("Нет устройства вывода звука"), std::string::npos)
            << m_err.str();
        return;
    }
    ASSERT_EQ(rc, 0) << m_err.str();
    const auto lines = Lines(m_out.str());
    ASSERT_EQ(lines.size(), 3u) << m_out.str();
    EXPECT_EQ(lines[0].rfind("[1] ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("[3] ", 0), 0u);
    EXPECT_NE(lines[0].find("пёс"), std::string::npos) << lines[0];
}

TEST_F(CmdSpeech, SpeakRejectsAMissingFile) {
    EXPECT_EQ(Run({"speak", (m_dir / "none.txt").string()}), 2);
    EXPECT_NE(m_err.str().find("файл не найден"), std::string::npos) << m_err.str();
    EXPECT_EQ(Run({"speak"}), 2);
}
