#include "audio/Recorder.h"
#include "audio/Subtitles.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <regex>
#include <sstream>
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

// Subtitles of a real book page, in WAV and in MP3: cues in order and apart, the last one
// ending with the audio, their texts giving the page back, and the LRC lines with the same
// starts.
TEST_F(RecordingTest, SubtitlesFollowTheEnginesWordTiming) {
    std::string utf8;
    ASSERT_TRUE(base::ReadFileBytes(
        fs::path(VOCALIX_CORPUS_DIR) / "text/books/chekhov_dyadya_vanya.utf8.txt", utf8));
    utf8 = utf8.substr(utf8.find("\n", 3000) + 1, 2500);
    utf8 = utf8.substr(0, utf8.rfind('\n') + 1);
    const std::string page = base::ToCrLf(base::Utf8ToCp1251(utf8));
    settings.subtitles = true;
    settings.bytesInFrag = 900; // several fragments, each placed after the last
    for (int acNumber : {0, 1}) {
        SCOPED_TRACE(acNumber);
        const fs::path wav = dir / "page.wav";
        const audio::RecordOutcome r =
            audio::RecordAndConvert(voice, page, wav, settings, acNumber, "-b64", dir, {});
        ASSERT_TRUE(r.record.written);
        ASSERT_TRUE(r.subtitlesError.empty());
        fs::path srt = r.audioFile, lrc = r.audioFile;
        srt.replace_extension(".srt");
        lrc.replace_extension(".lrc");
        std::string srtText, lrcText;
        ASSERT_TRUE(base::ReadFileBytes(srt, srtText));
        ASSERT_TRUE(base::ReadFileBytes(lrc, lrcText));

        const std::regex cueRe(
            R"((\d+)\r\n(\d\d):(\d\d):(\d\d),(\d{3}) --> (\d\d):(\d\d):(\d\d),(\d{3})\r\n([^\r]*)\r\n)");
        auto at = [](const std::smatch& m, int i) {
            return std::stoi(m[i]) * 3600.0 + std::stoi(m[i + 1]) * 60.0 + std::stoi(m[i + 2]) +
                   std::stoi(m[i + 3]) / 1000.0;
        };
        double lastEnd = 0;
        int cues = 0;
        std::string joined;
        for (std::sregex_iterator i(srtText.begin(), srtText.end(), cueRe), end; i != end; ++i) {
            const std::smatch& m = *i;
            EXPECT_EQ(std::stoi(m[1]), ++cues);
            const double start = at(m, 2), stop = at(m, 6);
            EXPECT_GE(start, lastEnd - 0.0005);
            EXPECT_GT(stop, start);
            lastEnd = stop;
            joined += m[10].str() + " ";
        }
        EXPECT_GT(cues, 10);
        EXPECT_NEAR(lastEnd, r.record.seconds, 0.05);
        const double wavSeconds =
            acNumber == 0 ? ReadWav(wav).info.frames / 22050.0 : r.record.seconds;
        EXPECT_NEAR(lastEnd, wavSeconds, 0.05);
        auto words = [](const std::string& s) {
            std::string out;
            std::istringstream in(s);
            for (std::string w; in >> w;)
                out += w + " ";
            return out;
        };
        EXPECT_EQ(words(joined), words(utf8));
        EXPECT_EQ(std::count(lrcText.begin(), lrcText.end(), '['), cues + 1);
    }
}
