#include "audio/AudioTags.h"
#include "audio/Recorder.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vocalix;

namespace {

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("vocalix-tags-" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
};

// The title, artist, album and track lines of the listing of the format's own tool.
std::string TagLines(const fs::path& file) {
    QProcess tool;
    const QString name = QString::fromStdString(file.string());
    if (file.extension() == ".mp3")
        tool.start("mid3v2", {"-l", name});
    else
        tool.start("vorbiscomment", {"-l", "-R", name});
    EXPECT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const QRegularExpression tag("^(TIT2|TPE1|TALB|TRCK|title|artist|album|tracknumber)=");
    std::string lines;
    for (const QString& line : QString::fromUtf8(tool.readAllStandardOutput()).split('\n'))
        if (tag.match(line).hasMatch())
            lines += line.toStdString() + "\n";
    return lines;
}

} // namespace

// Cyrillic tags reach both encoders, whether they read the recording while it is made or
// the finished WAV file, even when the program runs in the plain "C" locale. MP3 files get
// no ID3 version 1 tag, which could only hold question marks.
TEST(AudioTags, Mp3AndOggCarryCyrillicTags) {
    ::setenv("LC_ALL", "C", 1);
    TempDir dir;
    speech::SpVoice voice;
    voice.GetVoices();
    audio::RecordSettings settings;
    settings.tags = {"Пиковая дама", "Александр Сергеевич Пушкин", "Повести Белкина", 3};
    const std::string text = base::Cp("Германн немец: он расчётлив, вот и всё!\r\n");
    const struct {
        int acNumber;
        const char* allParam;
        const char* lines;
    } cases[] = {{1, "-b64",
                  "TALB=Повести Белкина\nTIT2=Пиковая дама\nTPE1=Александр Сергеевич Пушкин\n"
                  "TRCK=3\n"},
                 {2, "-64",
                  "title=Пиковая дама\nartist=Александр Сергеевич Пушкин\nalbum=Повести "
                  "Белкина\ntracknumber=3\n"}};
    for (const auto& c : cases) {
        for (bool streaming : {true, false}) {
            SCOPED_TRACE(std::to_string(c.acNumber) + (streaming ? " streaming" : " afterwards"));
            const fs::path wav = dir.path / "Книга.wav";
            const audio::RecordOutcome r =
                streaming
                    ? audio::RecordAndConvert(voice, text, wav, settings, c.acNumber, c.allParam,
                                              dir.path, {})
                    : audio::ConvertRecording(audio::RecordToWave(voice, text, wav, settings, {}),
                                              wav, nullptr, c.acNumber, c.allParam, dir.path, {},
                                              {}, false, settings.tags);
            ASSERT_EQ(r.convert.status, audio::ConvertResult::Status::Converted)
                << base::Cp1251ToUtf8(r.convert.message);
            EXPECT_EQ(TagLines(r.audioFile), c.lines);
            std::string bytes;
            ASSERT_TRUE(base::ReadFileBytes(r.audioFile, bytes));
            EXPECT_NE(bytes.substr(bytes.size() - 128, 3), "TAG");
            fs::remove(r.audioFile);
        }
    }
}

// The tags of a text's recording: its name, or the book's own words when the book is beside
// it; an unnamed page has none.
TEST(AudioTags, TagsForText) {
    TempDir dir;
    const fs::path text = dir.path / "Пиковая дама.txt";
    audio::AudioTags tags = audio::TagsForText(text, 2);
    EXPECT_EQ(tags.title + "|" + tags.album + "|" + tags.artist + "|" + std::to_string(tags.track),
              "Пиковая дама|Пиковая дама||2");
    EXPECT_TRUE(base::WriteFileAtomic(
        dir.path / "Пиковая дама.fb2",
        "<?xml version=\"1.0\"?><FictionBook><description><title-info><author><first-name>"
        "Александр</first-name><last-name>Пушкин</last-name></author><book-title>Пиковая "
        "дама. Повесть</book-title></title-info></description></FictionBook>"));
    tags = audio::TagsForText(text);
    EXPECT_EQ(tags.title + "|" + tags.album + "|" + tags.artist + "|" + std::to_string(tags.track),
              "Пиковая дама. Повесть|Пиковая дама. Повесть|Александр Пушкин|0");
    tags = audio::TagsForText({});
    EXPECT_EQ(tags.title + tags.album + tags.artist, "");
}
