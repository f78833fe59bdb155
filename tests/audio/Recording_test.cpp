#include "audio/Recorder.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vocalix;

namespace {

const char* kPage = "Мороз и солнце; день чудесный!\r\n"
                    "Ещё ты дремлешь, друг прелестный.\r\n"
                    "Пора, красавица, проснись.\r\n";

class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vocalix-audio-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        voice.GetVoices(); // the first voice is the default Russian one
    }
    void TearDown() override { fs::remove_all(dir); }

    audio::RecordOutcome Record(const fs::path& wav, int acNumber, const std::string& allParam,
                                audio::RecordHooks hooks = {}) {
        return audio::RecordAndConvert(voice, base::Cp(kPage), wav, settings, acNumber, allParam,
                                       dir, hooks);
    }
    static std::string Head(const fs::path& file, size_t n) {
        std::string bytes;
        base::ReadFileBytes(file, bytes);
        return bytes.substr(0, n);
    }

    fs::path dir;
    speech::SpVoice voice;
    audio::RecordSettings settings;
};

struct WavInfo {
    SF_INFO info{};
    double rms = 0;
};

WavInfo ReadWav(const fs::path& file) {
    WavInfo w;
    SNDFILE* f = sf_open(file.c_str(), SFM_READ, &w.info);
    EXPECT_NE(f, nullptr) << file;
    if (!f)
        return w;
    std::vector<double> data(static_cast<size_t>(w.info.frames * w.info.channels));
    sf_readf_double(f, data.data(), w.info.frames);
    sf_close(f);
    double sum = 0;
    for (double v : data)
        sum += v * v;
    w.rms = data.empty() ? 0 : std::sqrt(sum / static_cast<double>(data.size()));
    return w;
}

} // namespace

// Three formats of the list: the header says what was chosen, every file holds the same
// length of real speech (the resampler loses nothing at the end).
TEST_F(RecordingTest, WavFormatsHaveRightHeadersAndDurations) {
    struct Case {
        int index, rate, channels, subtype;
    } cases[] = {{0, 8000, 1, SF_FORMAT_PCM_U8},
                 {18, 22050, 1, SF_FORMAT_PCM_16},
                 {35, 48000, 2, SF_FORMAT_PCM_16}};
    double reference = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        settings.formatIndex = c.index;
        const fs::path wav = dir / ("page " + std::to_string(c.index) + ".wav");
        const audio::RecordOutcome r = Record(wav, 0, "");
        ASSERT_TRUE(r.record.written) << base::Cp1251ToUtf8(r.record.error);
        EXPECT_EQ(r.audioFile, wav);
        EXPECT_FALSE(r.converterRan);
        const WavInfo w = ReadWav(wav);
        EXPECT_EQ(w.info.samplerate, c.rate);
        EXPECT_EQ(w.info.channels, c.channels);
        EXPECT_EQ(w.info.format, SF_FORMAT_WAV | c.subtype);
        const double seconds = static_cast<double>(w.info.frames) / w.info.samplerate;
        EXPECT_NEAR(seconds, r.record.seconds, 1e-3);
        EXPECT_GT(seconds, 3.0); // three lines of verse
        EXPECT_LT(seconds, 20.0);
        if (reference == 0)
            reference = seconds;
        EXPECT_NEAR(seconds, reference, 0.01);
        EXPECT_GT(w.rms, 0.02) << "silent";
    }
}

// Names with spaces, quotes, "$" and a leading "-" pass to the real encoders untouched; the
// WAV file goes once the encoder has made its file.
TEST_F(RecordingTest, RealEncodersMakeMp3AndOgg) {
    struct Case {
        int acNumber, format;
        const char* allParam;
        const char* magic; // the first bytes: an MPEG audio frame, an Ogg page
    } cases[] = {{1, 18, "-b64 -h", "\xFF"},
                 {2, 18, "-96", "OggS"},
                 // 8 kHz mono is refused at 96 kbit/s: the nearest quality step is used.
                 {2, 0, "-96", "OggS"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.allParam);
        settings.formatIndex = c.format;
        const fs::path wav = dir / ("-Книга \"1\" $HOME " + std::to_string(c.format) + ".wav");
        const audio::RecordOutcome r = Record(wav, c.acNumber, c.allParam);
        ASSERT_TRUE(r.record.written);
        EXPECT_EQ(r.convert.status, audio::ConvertResult::Status::Converted)
            << base::Cp1251ToUtf8(r.convert.message);
        fs::path target = wav;
        target.replace_extension(audio::ConverterExtension(c.acNumber));
        EXPECT_EQ(r.audioFile, target);
        EXPECT_EQ(Head(target, std::string(c.magic).size()), c.magic);
        EXPECT_FALSE(fs::exists(wav));
    }
    // Nothing but the results is left beside them (no temporary files).
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
}

// A failing or missing encoder keeps the WAV file, leaves no broken target and says so.
TEST_F(RecordingTest, FailingOrMissingEncoderKeepsWav) {
    const fs::path wav = dir / "page.wav";
    const audio::RecordOutcome bad = Record(wav, 1, "--no-such-option");
    EXPECT_EQ(bad.convert.status, audio::ConvertResult::Status::Failed);
    EXPECT_NE(base::Cp1251ToUtf8(bad.convert.message).find("Файл WAV сохранён"), std::string::npos);
    EXPECT_EQ(bad.audioFile, wav);
    EXPECT_TRUE(fs::exists(wav));
    EXPECT_FALSE(fs::exists(dir / "page.mp3"));

    const std::string path = std::getenv("PATH");
    ::setenv("PATH", dir.c_str(), 1);
    const audio::RecordOutcome missing = Record(wav, 2, "-q 3");
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(missing.convert.status, audio::ConvertResult::Status::NotStarted);
    EXPECT_EQ(base::Cp1251ToUtf8(missing.convert.message)
                  .rfind("Не удалось выполнить процесс oggenc -q 3 " + wav.string(), 0),
              0u)
        << base::Cp1251ToUtf8(missing.convert.message);
    EXPECT_TRUE(fs::exists(wav));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// Stop ends the recording after the fragment being spoken; what was recorded is kept.
TEST_F(RecordingTest, StopEndsAfterCurrentFragment) {
    settings.bytesInFrag = 40; // one line a fragment
    int started = 0;
    audio::RecordHooks hooks;
    hooks.fragmentStarting = [&](int, long long) { ++started; };
    hooks.stopRequested = [&] { return started >= 1; };
    const audio::RecordOutcome r = Record(dir / "page.wav", 0, "", hooks);
    EXPECT_TRUE(r.record.written);
    EXPECT_TRUE(r.record.stopped);
    EXPECT_EQ(r.record.fragments, 1);
    EXPECT_EQ(started, 1);
    EXPECT_GT(ReadWav(dir / "page.wav").rms, 0.02);
}

// An empty text writes nothing.
TEST_F(RecordingTest, NothingToRecordWritesNothing) {
    const audio::RecordOutcome r =
        audio::RecordAndConvert(voice, "", dir / "page.wav", settings, 1, "-b64", dir, {});
    EXPECT_FALSE(r.record.written);
    EXPECT_FALSE(r.converterRan);
    EXPECT_TRUE(fs::is_empty(dir));
}
