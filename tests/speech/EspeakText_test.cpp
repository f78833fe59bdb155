// What eSpeak gets from our text: stress marks become phoneme input, markup switches voices.
#include "speech/EspeakEngine.h"
#include "speech/StressMarks.h"
#include "speech/WordMap.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/QtProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include <unistd.h>

using namespace vocalix;
using namespace vocalix::speech;
namespace fs = std::filesystem;

namespace {

EspeakEngine& Engine() {
    auto* engine = dynamic_cast<EspeakEngine*>(DefaultEngine().get());
    EXPECT_TRUE(engine && engine->Available());
    return *engine;
}

std::vector<int16_t> Samples(const std::string& utf8, std::vector<WordMark>* words = nullptr,
                             bool markup = false) {
    std::vector<int16_t> samples;
    std::string error;
    EXPECT_TRUE(Engine().SynthesizeAll(base::Cp(utf8), {"Russian", 175, 50, markup}, samples, words,
                                       &error))
        << error;
    EXPECT_FALSE(samples.empty());
    return samples;
}

// How far apart two recordings sound: the difference of their loudness curves (10 ms
// frames), relative to the louder one. Within a process equal speech never gives equal samples
// twice (see Recorded), but its curves stay within a few per cent.
double Distance(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    auto loudness = [](const std::vector<int16_t>& s) {
        std::vector<double> frames;
        for (size_t i = 0; i + 220 <= s.size(); i += 220) {
            double sum = 0;
            for (size_t k = i; k < i + 220; ++k)
                sum += double(s[k]) * s[k];
            frames.push_back(std::sqrt(sum / 220));
        }
        return frames;
    };
    const auto x = loudness(a), y = loudness(b);
    double diff = 0, total = 0;
    for (size_t i = 0; i < std::max(x.size(), y.size()); ++i) {
        const double p = i < x.size() ? x[i] : 0, q = i < y.size() ? y[i] : 0;
        diff += std::abs(p - q);
        total += std::max(p, q);
    }
    return total > 0 ? diff / total : 0;
}

// A text recorded to WAV by the command-line program, each in a fresh process: eSpeak's pitch
// flutter carries over from one text to the next within a process, so only a first synthesis
// gives the same samples for the same speech every time.
std::string Recorded(const std::string& utf8) {
    const fs::path dir = fs::temp_directory_path() / ("vocalix-stress-" + std::to_string(getpid()));
    fs::create_directories(dir);
    EXPECT_TRUE(base::WriteFileAtomic(dir / "page.txt", base::Cp(utf8) + "\r\n"));
    const auto run =
        base::RunProcess(VOCALIX_BINARY_DIR "/vocalix-cli",
                         {"--program-dir", dir.string(), "--set", "AudioConverter/ACNumber=0",
                          "record", "--to", dir.string(), (dir / "page.txt").string()},
                         60000);
    EXPECT_TRUE(run.started && run.exitCode == 0) << utf8;
    std::string wav;
    EXPECT_TRUE(base::ReadFileBytes(dir / "page.wav", wav)) << utf8;
    fs::remove_all(dir);
    EXPECT_GT(wav.size(), 10000u) << utf8;
    return wav;
}

// The mark is heard, and only there: on eSpeak's own stressed vowel it changes nothing (so
// "+" itself is never read aloud), on another vowel the word sounds different.
TEST(StressMarks, TheMarkChangesWhatIsHeard) {
    const std::string own = Recorded("Старый замок, мама, молоко.");
    EXPECT_EQ(Recorded("Старый зам+ок, м+ама, молок+о."), own);
    EXPECT_EQ(Recorded("СТАРЫЙ ЗАМОК, МАМА, МОЛОКО."), Recorded("СТАРЫЙ ЗАМ+ОК, М+АМА, МОЛОК+О."));
    const std::string first = Recorded("Старый з+амок, мама, молоко.");
    EXPECT_NE(first, own);
    EXPECT_NE(Recorded("Старый замок, мама, м+олоко."), own);
    EXPECT_NE(Recorded("Старый замок, мама, м+олоко."), Recorded("Старый замок, мама, мол+око."));
}

// What eSpeak gets for a marked word: its own phonemes with the stress moved and the vowels
// reduced as its rules reduce them (post-tonic "о" is "V", as in its "рынок").
TEST(StressMarks, TheWordBecomesPhonemeInput) {
    const WordPhonemes phonemes = [](const std::string& word) {
        return Engine().WordPhonemes(base::Utf8ToCp1251(word), "Russian");
    };
    EXPECT_EQ(ApplyStressMarks(base::Cp("Старый з+амок."), phonemes).utf8, "Старый [[z'AmVk]].");
    EXPECT_NE(Engine().WordPhonemes(base::Cp("рынок"), "Russian").find("'y_n_V_k"),
              std::string::npos);
}

// Text without stress marks reaches eSpeak as it is, except that "[[" of its own cannot
// start phoneme input.
TEST(StressMarks, OtherTextIsLeftAlone) {
    const WordPhonemes none = [](const std::string& word) {
        ADD_FAILURE() << word;
        return std::string();
    };
    const EngineText plain = ApplyStressMarks(base::Cp("2+2, C++ и +"), none);
    EXPECT_EQ(plain.utf8, "2+2, C++ и +");
    EXPECT_TRUE(plain.source.empty());
    const EngineText brackets = ApplyStressMarks("a[[b]]", none);
    EXPECT_EQ(brackets.utf8, "a[ [b]]");
    EXPECT_EQ(brackets.source, (std::vector<int>{0, 1, 1, 2, 3, 4, 5}));
}

// With markup on (IsXML), the tag values of the dialogue dictionary switch the voice for the
// direct speech and back, and are not read aloud.
TEST(EspeakMarkup, VoiceTagsSwitchTheVoiceAndAreNotRead) {
    const std::string same = "Он сказал: <voice name=\"Russian\">Привет!</voice> И ушёл.";
    const auto narrator = Samples(same, nullptr, true);
    const auto second =
        Samples("Он сказал: <voice name=\"ru+f3\">Привет!</voice> И ушёл.", nullptr, true);
    // Read as plain text the tags take well over a second.
    EXPECT_GT(static_cast<double>(Samples(same).size()) - static_cast<double>(narrator.size()),
              22050.0);
    EXPECT_GT(Distance(narrator, second), 0.25);
    // The narrator's words after the dialogue are his again: the ends of the recordings match.
    const size_t tail = 22050 / 2;
    ASSERT_GT(second.size(), tail);
    EXPECT_LT(
        Distance({narrator.end() - tail, narrator.end()}, {second.end() - tail, second.end()}),
        0.12);
}

// Every word of a text with marks is still reported, at its place in the text as given.
TEST(StressMarks, WordsAreTrackedAcrossMarks) {
    const std::string text = "Он видел з+амок и м+олоко, а потом - дор+огу.";
    std::vector<WordMark> marks;
    Samples(text, &marks);
    const std::vector<WordSpan> words = SpokenWords(base::Cp(text));
    ASSERT_EQ(marks.size(), words.size());
    for (size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(marks[i].start, words[i].start) << i;
        EXPECT_EQ(marks[i].length, words[i].length) << i;
        if (i > 0) {
            EXPECT_GT(marks[i].sample, marks[i - 1].sample) << i;
        }
    }
}

// The reduction table agrees with eSpeak's own rules: over real words, moving the stress
// to another vowel and back gives exactly the phonemes eSpeak made.
TEST(StressMarks, MovingTheStressAndBackGivesESpeaksOwnPhonemes) {
    std::string dictionary;
    ASSERT_TRUE(base::ReadFileBytes(std::filesystem::path(VOCALIX_CORPUS_DIR) /
                                        "dict/mueller7_stress_top1000.cp1251.dic",
                                    dictionary));
    int words = 0, pairs = 0, failed = 0;
    std::string failures;
    size_t at = 0;
    while (at < dictionary.size()) {
        size_t end = dictionary.find("\r\n", at);
        if (end == std::string::npos)
            end = dictionary.size();
        const std::string line = dictionary.substr(at, end - at);
        at = end + 2;
        const size_t eq = line.find('=');
        if (line.empty() || line[0] == '#' || eq == std::string::npos)
            continue;
        const std::string word = line.substr(0, eq);
        const std::string own = Engine().WordPhonemes(word, "Russian");
        std::string joined = own;
        std::erase(joined, '_');
        int vowels = 0, stressed = -1;
        for (char c : word)
            vowels += base::IsCyrillicVowel(c) ? 1 : 0;
        for (int v = 0; v < vowels && stressed < 0; ++v)
            if (Restress(word, v, own).empty() && !Restress(word, (v + 1) % vowels, own).empty())
                stressed = v;
        if (vowels < 2 || stressed < 0)
            continue; // not lined up with its letters (or one syllable)
        ++words;
        for (int v = 0; v < vowels; ++v) {
            if (v == stressed)
                continue;
            ++pairs;
            const std::string moved = Restress(word, v, own, "_");
            if (Restress(word, stressed, moved) != joined) {
                ++failed;
                failures += base::Cp1251ToUtf8(line) + " ";
            }
        }
    }
    EXPECT_GT(words, 700);
    EXPECT_GT(pairs, 1500);
    // Loan words whose unstressed vowels eSpeak keeps full ("радио") cannot come back.
    EXPECT_LE(failed * 200, pairs) << failures;
}

} // namespace
