#include "CliTestFixture.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>

namespace fs = std::filesystem;
using vocalix::base::Cp;

namespace {

class CmdSpeech : public CliTest {};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST_F(CmdSpeech, VoicesListsBothGenerationsRussianFirst) {
    ASSERT_EQ(Run({"voices"}), 0) << err.str();
    const auto lines = Lines(out.str());
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
    ASSERT_TRUE(vocalix::base::WriteFileAtomic(dir / "dic" / "test.ini", Cp("кот=пёс\r\n")));
    // The file is opened as the window opens it, so it must read as natural Windows-1251 text
    // (a text with many "п" and no "а" is taken for KOI8).
    std::string text;
    for (int i = 0; i < 3; ++i)
        text += Cp("Кот спит на диване. ") + std::string(20, 'x') + "\r\n";
    ASSERT_TRUE(vocalix::base::WriteFileAtomic(dir / "page.txt", text));
    const int rc =
        Run({"--set", "Others/BytesInFrag=40", "--set", "SAPI/SAPI5=1", "--set",
             "SpeechEngine/Speed=10", "speak", "--dic", "test.ini", (dir / "page.txt").string()});
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !fs::exists(fs::path(runtime) / "pulse" / "native")) {
        EXPECT_EQ(rc, 2);
        EXPECT_NE(err.str().find("Нет устройства вывода звука"), std::string::npos) << err.str();
        return;
    }
    ASSERT_EQ(rc, 0) << err.str();
    const auto lines = Lines(out.str());
    ASSERT_EQ(lines.size(), 3u) << out.str();
    EXPECT_EQ(lines[0].rfind("[1] ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("[3] ", 0), 0u);
    EXPECT_NE(lines[0].find("пёс"), std::string::npos) << lines[0];
}

TEST_F(CmdSpeech, SpeakRejectsAMissingFile) {
    EXPECT_EQ(Run({"speak", (dir / "none.txt").string()}), 2);
    EXPECT_NE(err.str().find("файл не найден"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"speak"}), 2);
}
