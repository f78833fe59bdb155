// Encoders that break in the ways real ones do, placed in the program folder (where they are
// looked for first). Recording runs them twice: streaming while the speech is made, then once
// more on the finished WAV file; whatever fails, the WAV file is kept and the message says so.
#include "audio/Recorder.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vocalix;

namespace {

class EncoderFaults : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vocalix-encoder-faults-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        voice.GetVoices();
    }
    void TearDown() override { fs::remove_all(dir); }

    // A stand-in "lame": its last argument is the output, the one before it the input ("-" for
    // the stream). It logs the input it was given, reads it all, then does `ending`.
    void FakeLame(const std::string& ending) {
        const fs::path lame = dir / "lame";
        ASSERT_TRUE(base::WriteFileAtomic(lame, "#!/bin/sh\n"
                                                "for a; do in=$out; out=$a; done\n"
                                                "echo \"$in\" >> '" +
                                                    (dir / "log").string() + "'\n" + ending +
                                                    "\n"));
        fs::permissions(lame, fs::perms::owner_all);
        fs::remove(dir / "log");
    }

    fs::path dir;
    speech::SpVoice voice;
    audio::RecordSettings settings;
};

} // namespace

TEST_F(EncoderFaults, WavIsKeptWhateverTheEncoderDoes) {
    const struct {
        const char* what;
        const char* ending;
    } cases[] = {
        {"exits 3 after a partial file",
         "cat -- \"$in\" >/dev/null; printf ID3 > \"$out\"; exit 3"},
        {"killed halfway", "head -c 1000 -- \"$in\" >/dev/null; printf ID3 > \"$out\"; kill -9 $$"},
        {"exits 0 and writes nothing", "cat -- \"$in\" >/dev/null; : > \"$out\"; exit 0"},
        {"quits without reading", "exit 1"},
    };
    const fs::path wav = dir / "Моя книга.wav";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeLame(c.ending);
        const audio::RecordOutcome r =
            audio::RecordAndConvert(voice, base::Cp("Мороз и солнце; день чудесный!\r\n"), wav,
                                    settings, 1, "-b64", dir, {});
        ASSERT_TRUE(r.record.written);
        EXPECT_EQ(r.convert.status, audio::ConvertResult::Status::Failed);
        const std::string message = base::Cp1251ToUtf8(r.convert.message);
        EXPECT_NE(message.find("Файл WAV сохранён: " + wav.string()), std::string::npos) << message;
        EXPECT_EQ(r.audioFile, wav);
        std::string bytes;
        ASSERT_TRUE(base::ReadFileBytes(wav, bytes));
        EXPECT_EQ(bytes.substr(0, 4), "RIFF");
        EXPECT_GT(bytes.size(), 10000u); // a second of speech at least
        // Both attempts ran: on the stream, then on the file.
        std::string log;
        base::ReadFileBytes(dir / "log", log);
        EXPECT_EQ(log, "-\n" + wav.string() + "\n");
        // Nothing else is left: no broken MP3, no temporary file.
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"lame", "log", wav.filename().string()}));
    }
}
