#include "audio/AudioTags.h"
#include "audio/Recorder.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vocalix;

namespace {

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("vocalix-tags-" + std::to_string(::getpid()));
    TempDir() {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
};

// Runs a program and gives its standard output; a failure to run fails the test.
std::string Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << ": "
                               << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput().toStdString();
}

// The tags of a file as its format's own tools read them: "title", "artist", "album" and
// "track".
std::map<std::string, std::string> ReadTags(const fs::path& file) {
    const bool mp3 = file.extension() == ".mp3";
    const std::string out =
        mp3 ? Run("mid3v2", {"-l", QString::fromStdString(file.string())})
            : Run("vorbiscomment", {"-l", "-R", QString::fromStdString(file.string())});
    const std::map<std::string, std::string> names =
        mp3 ? std::map<std::string, std::string>{{"TIT2", "title"},
                                                 {"TPE1", "artist"},
                                                 {"TALB", "album"},
                                                 {"TRCK", "track"}}
            : std::map<std::string, std::string>{{"title", "title"},
                                                 {"artist", "artist"},
                                                 {"album", "album"},
                                                 {"tracknumber", "track"}};
    std::map<std::string, std::string> tags;
    size_t pos = 0;
    while (pos < out.size()) {
        size_t end = out.find('\n', pos);
        if (end == std::string::npos)
            end = out.size();
        const std::string line = out.substr(pos, end - pos);
        pos = end + 1;
        const size_t eq = line.find('=');
        if (eq != std::string::npos && names.count(line.substr(0, eq)))
            tags[names.at(line.substr(0, eq))] = line.substr(eq + 1);
    }
    return tags;
}

// The locale of the test for as long as it runs.
struct Locale {
    std::string saved;
    bool had = std::getenv("LC_ALL") != nullptr;
    explicit Locale(const char* value) {
        if (had)
            saved = std::getenv("LC_ALL");
        ::setenv("LC_ALL", value, 1);
    }
    ~Locale() {
        if (had)
            ::setenv("LC_ALL", saved.c_str(), 1);
        else
            ::unsetenv("LC_ALL");
    }
};

} // namespace

// Cyrillic tags reach both encoders, whether they read the recording while it is made or
// the finished WAV file, even when the program runs in the plain "C" locale. MP3 files get
// no ID3 version 1 tag, which could only hold question marks.
TEST(AudioTags, Mp3AndOggCarryCyrillicTags) {
    TempDir dir;
    speech::SpVoice voice;
    voice.GetVoices();
    audio::RecordSettings settings;
    settings.tags = {"Пиковая дама", "Александр Сергеевич Пушкин", "Повести Белкина", 3};
    const std::map<std::string, std::string> expected{{"title", "Пиковая дама"},
                                                      {"artist", "Александр Сергеевич Пушкин"},
                                                      {"album", "Повести Белкина"},
                                                      {"track", "3"}};
    const std::string text = base::Cp("Германн немец: он расчётлив, вот и всё!\r\n");
    const Locale plain("C");
    for (int acNumber : {1, 2}) {
        for (bool streaming : {true, false}) {
            SCOPED_TRACE(std::to_string(acNumber) + (streaming ? " streaming" : " afterwards"));
            const fs::path wav = dir.path / "Книга.wav";
            audio::RecordOutcome r;
            if (streaming) {
                r = audio::RecordAndConvert(voice, text, wav, settings, acNumber,
                                            acNumber == 1 ? "-b64" : "-64", dir.path, {});
            } else {
                audio::RecordResult record = audio::RecordToWave(voice, text, wav, settings, {});
                r = audio::ConvertRecording(std::move(record), wav, nullptr, acNumber,
                                            acNumber == 1 ? "-b64" : "-64", dir.path, {}, {}, false,
                                            settings.tags);
            }
            ASSERT_EQ(r.convert.status, audio::ConvertResult::Status::Converted)
                << base::Cp1251ToUtf8(r.convert.message);
            EXPECT_EQ(ReadTags(r.audioFile), expected);
            std::string bytes;
            ASSERT_TRUE(base::ReadFileBytes(r.audioFile, bytes));
            ASSERT_GT(bytes.size(), 128u);
            EXPECT_NE(bytes.substr(bytes.size() - 128, 3), "TAG");
            fs::remove(r.audioFile);
        }
    }
}

// Where the tags of a text's recording come from: the book beside it, else its name.
TEST(AudioTags, TagsForText) {
    TempDir dir;
    const fs::path text = dir.path / "Пиковая дама.txt";
    EXPECT_TRUE(base::WriteFileAtomic(text, "x"));
    audio::AudioTags tags = audio::TagsForText(text, 2);
    EXPECT_EQ(tags.title, "Пиковая дама");
    EXPECT_EQ(tags.album, "Пиковая дама");
    EXPECT_EQ(tags.artist, "");
    EXPECT_EQ(tags.track, 2);

    EXPECT_TRUE(base::WriteFileAtomic(
        dir.path / "Пиковая дама.fb2",
        "<?xml version=\"1.0\"?><FictionBook><description><title-info><author><first-name>"
        "Александр</first-name><last-name>Пушкин</last-name></author><book-title>Пиковая "
        "дама. Повесть</book-title></title-info></description></FictionBook>"));
    tags = audio::TagsForText(text);
    EXPECT_EQ(tags.title, "Пиковая дама. Повесть");
    EXPECT_EQ(tags.album, "Пиковая дама. Повесть");
    EXPECT_EQ(tags.artist, "Александр Пушкин");
    EXPECT_EQ(tags.track, 0);

    tags = audio::TagsForText({});
    EXPECT_TRUE(tags.title.empty() && tags.album.empty() && tags.artist.empty());
}
