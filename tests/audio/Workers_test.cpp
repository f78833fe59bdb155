#include "audio/Workers.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace vocalix;

namespace {

const fs::path kWorker = VOCALIX_BINARY_DIR "/vocalix-cli";

class WorkersTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vocalix-workers-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        voice.GetVoices();
        std::string utf8;
        ASSERT_TRUE(base::ReadFileBytes(
            fs::path(VOCALIX_CORPUS_DIR) / "text/books/chekhov_dyadya_vanya.utf8.txt", utf8));
        utf8 = utf8.substr(utf8.find('\n', 3000) + 1, 5000);
        text = base::ToCrLf(base::Utf8ToCp1251(utf8.substr(0, utf8.rfind('\n') + 1)));
        settings.bytesInFrag = 600; // several fragments
    }
    void TearDown() override { fs::remove_all(dir); }

    audio::RecordOutcome Record(const std::string& name, int acNumber, int workers,
                                const audio::RecordHooks& hooks = {},
                                const fs::path& program = kWorker) {
        return audio::RecordWithWorkers(voice, text, dir / name, settings, acNumber, "-b64", dir,
                                        hooks, {}, workers, program);
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string Bytes(const fs::path& file) {
        std::string bytes;
        EXPECT_TRUE(base::ReadFileBytes(file, bytes)) << file;
        return bytes;
    }

    fs::path dir;
    speech::SpVoice voice;
    audio::RecordSettings settings;
    std::string text;
};

// Decoded to the end: without an information frame an MP3's length in the header is a guess.
double Seconds(const fs::path& file) {
    SF_INFO info{};
    SNDFILE* f = sf_open(file.c_str(), SFM_READ, &info);
    EXPECT_NE(f, nullptr) << file;
    if (!f)
        return 0;
    std::vector<short> buffer(static_cast<size_t>(4096 * info.channels));
    sf_count_t frames = 0;
    while (const sf_count_t n = sf_readf_short(f, buffer.data(), 4096))
        frames += n;
    sf_close(f);
    return static_cast<double>(frames) / info.samplerate;
}

} // namespace

// Three workers give the samples and the subtitles of one process, byte for byte, and leave
// nothing else behind.
TEST_F(WorkersTest, SameSamplesAndSubtitlesAsOneProcess) {
    settings.subtitles = true;
    const audio::RecordOutcome one =
        audio::RecordAndConvert(voice, text, dir / "one.wav", settings, 0, "", dir, {});
    ASSERT_TRUE(one.record.written);
    std::vector<int> progress;
    audio::RecordHooks hooks;
    hooks.fragmentStarting = [&](int index, long long end) {
        progress.push_back(index);
        EXPECT_GT(end, 0);
    };
    const audio::RecordOutcome three = Record("three.wav", 0, 3, hooks);
    ASSERT_TRUE(three.record.written) << base::Cp1251ToUtf8(three.record.error);
    EXPECT_EQ(three.record.fragments, one.record.fragments);
    EXPECT_GE(three.record.fragments, 4);
    EXPECT_EQ(Bytes(dir / "three.wav"), Bytes(dir / "one.wav"));
    EXPECT_EQ(Bytes(dir / "three.srt"), Bytes(dir / "one.srt"));
    EXPECT_EQ(Bytes(dir / "three.lrc"), Bytes(dir / "one.lrc"));
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), one.record.fragments - 1);
    EXPECT_EQ(Files(), (std::vector<std::string>{"one.lrc", "one.srt", "one.wav", "three.lrc",
                                                 "three.srt", "three.wav"}));
}

// Each worker encodes its own part; the parts make one MP3 as long as the speech.
TEST_F(WorkersTest, EncodedPartsMakeOneFile) {
    settings.tags = {"Дядя Ваня", "Чехов", "Пьесы", 0};
    const audio::RecordOutcome r = Record("book.wav", 1, 2);
    ASSERT_TRUE(r.record.written) << base::Cp1251ToUtf8(r.record.error);
    EXPECT_EQ(r.convert.status, audio::ConvertResult::Status::Converted)
        << base::Cp1251ToUtf8(r.convert.message);
    EXPECT_EQ(r.audioFile, dir / "book.mp3");
    // Each part's encoder adds its own few milliseconds of padding.
    EXPECT_NEAR(Seconds(dir / "book.mp3"), r.record.seconds, 0.25);
    EXPECT_EQ(Files(), std::vector<std::string>{"book.mp3"});
    // One tag, at the start of the file.
    const std::string mp3 = Bytes(dir / "book.mp3");
    EXPECT_EQ(mp3.rfind("ID3", 0), 0u);
    EXPECT_EQ(mp3.find("ID3", 3), std::string::npos);
}

// Stop keeps the beginning up to the first part that was cut short; a worker that is no
// worker loses nothing of the user's and leaves nothing behind.
TEST_F(WorkersTest, StopAndBrokenWorkers) {
    settings.bytesInFrag = 100; // a long share for each worker: Stop reaches it well before its end
    audio::RecordHooks hooks;
    bool begun = false;
    hooks.fragmentStarting = [&](int, long long) { begun = true; };
    hooks.stopRequested = [&] { return begun; };
    hooks.pump = [] {};
    const audio::RecordOutcome stopped = Record("stopped.wav", 0, 2, hooks);
    ASSERT_TRUE(stopped.record.written) << base::Cp1251ToUtf8(stopped.record.error);
    EXPECT_TRUE(stopped.record.stopped);
    EXPECT_TRUE(stopped.record.error.empty());
    EXPECT_GE(stopped.record.fragments, 1);
    EXPECT_LT(stopped.record.fragments, 20);
    EXPECT_NEAR(Seconds(dir / "stopped.wav"), stopped.record.seconds, 0.01);
    EXPECT_GT(stopped.record.seconds, 0.5);

    // Stop at once: the workers may not even have started.
    hooks.stopRequested = [] { return true; };
    const audio::RecordOutcome early = Record("early.wav", 0, 2, hooks);
    EXPECT_TRUE(early.record.error.empty()) << base::Cp1251ToUtf8(early.record.error);
    fs::remove(dir / "early.wav");

    ASSERT_TRUE(base::WriteFileAtomic(dir / "mine.mp3", "the user's own"));
    const audio::RecordOutcome broken = Record("mine.wav", 1, 2, {}, "/bin/true");
    EXPECT_FALSE(broken.record.written);
    EXPECT_EQ(base::Cp1251ToUtf8(broken.record.error), "Процесс записи завершился аварийно");
    EXPECT_EQ(Bytes(dir / "mine.mp3"), "the user's own");
    EXPECT_EQ(Files(), (std::vector<std::string>{"mine.mp3", "stopped.wav"}));
}
