#include "CliTestFixture.h"

#include <cstdlib>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

const char* kBook = "Глава 1\r\nБыл вечер.\r\nГлава 2\r\nБыло утро.\r\nГлава 3\r\nКонец.\r\n";

} // namespace

class CmdRecord : public CliTest {};

// Each file gets its audio file (into DIR when given); a failing file does not stop the
// others and the exit status tells. No sound server is needed: the sockets lead nowhere.
TEST_F(CmdRecord, RecordsEachFileWithoutSoundServer) {
    ::setenv("XDG_RUNTIME_DIR", (dir / "no-runtime").c_str(), 1);
    ::setenv("PULSE_SERVER", "unix:/nonexistent/pulse", 1);
    ::setenv("PIPEWIRE_REMOTE", "/nonexistent/pipewire", 1);
    const std::string a = Write("a b.txt", "Первая книга.\r\n");
    const std::string b = Write("$b.txt", "Вторая книга.\r\n");
    const int rc =
        Run({"--set", "AudioConverter/ACNumber=2", "--set", "AudioConverter/AllParam=-q 1",
             "record", "--to", (dir / "out").string(), a, (dir / "none.txt").string(), b});
    EXPECT_EQ(rc, 2);
    EXPECT_EQ(Lines(out.str()), (std::vector<std::string>{(dir / "out/a b.ogg").string(),
                                                          (dir / "out/$b.ogg").string()}));
    EXPECT_NE(err.str().find("none.txt"), std::string::npos);
    EXPECT_EQ(Read(dir / "out/a b.ogg").substr(0, 4), "OggS");

    // Subtitles from the older generation's reading loop, beside the audio file.
    out.str("");
    ASSERT_EQ(Run({"--set", "AudioConverter/ACNumber=0", "--set", "Extra/Subtitles=1", "record",
                   "--to", (dir / "out").string(), a}),
              0)
        << err.str();
    EXPECT_EQ(Read(dir / "out/a b.srt").rfind("1\r\n00:00:00,000 --> 00:00:0", 0), 0u);
    EXPECT_NE(Read(dir / "out/a b.srt").find("Первая книга."), std::string::npos);
    EXPECT_NE(Read(dir / "out/a b.lrc").find("[00:00.00]Первая книга."), std::string::npos);
}

// Series/AudioSplit: one audio file per part in "<name>.audio", the part texts gone.
TEST_F(CmdRecord, AudioSplitRecordsParts) {
    const std::string book = Write("book.txt", kBook);
    ASSERT_EQ(Run({"--set", "AudioConverter/ACNumber=0", "--set", "Series/AudioSplit=1", "--set",
                   "Series/BytesInBlock=0", "record", book}),
              0)
        << err.str();
    const fs::path folder = dir / "book.audio";
    EXPECT_EQ(Lines(out.str()), (std::vector<std::string>{(folder / "0001_book.wav").string(),
                                                          (folder / "0002_book.wav").string(),
                                                          (folder / "0003_book.wav").string()}));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
}

TEST_F(CmdRecord, SeriesPrintsParts) {
    const std::string book = Write("book.txt", kBook);
    ASSERT_EQ(Run({"--set", "Series/BytesInBlock=0", "series", book}), 0) << err.str();
    ASSERT_EQ(Lines(out.str()).size(), 3u);
    EXPECT_EQ(Read(dir / "book/0002_book.txt"), vocalix::base::Cp("Глава 2\r\nБыло утро.\r\n"));
    // Too short to cut: the warning, exit status 2.
    const std::string small = Write("small.txt", "Глава 1\r\nВсё.\r\n");
    EXPECT_EQ(Run({"series", small}), 2);
    EXPECT_NE(err.str().find("Не удалось разбить на части текст \"small.txt\""), std::string::npos);
}
