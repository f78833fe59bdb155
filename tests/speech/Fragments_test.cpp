#include "speech/Fragments.h"
#include "speech/WordMap.h"

#include <gtest/gtest.h>

using namespace vocalix::speech;

namespace {

std::string Lines(std::initializer_list<int> lengths, char fill = 'a') {
    std::string text;
    for (int n : lengths)
        text += std::string(static_cast<size_t>(n), fill) + "\r\n";
    return text;
}

struct Split {
    std::vector<std::string> fragments, offsets;
};

Split Cut(const std::string& text, int limit) {
    Split s;
    SplitToFragments(text, limit, s.fragments, s.offsets);
    return s;
}

// Every fragment is a faithful slice of the text at its offset (the last may carry an
// added CR LF).
void ExpectExactOffsets(const std::string& text, const Split& s) {
    ASSERT_EQ(s.fragments.size(), s.offsets.size());
    size_t expected = 1;
    for (size_t i = 0; i < s.fragments.size(); ++i) {
        EXPECT_EQ(std::stoul(s.offsets[i]), expected);
        const std::string& f = s.fragments[i];
        ASSERT_GE(f.size(), 2u);
        EXPECT_EQ(f.substr(f.size() - 2), "\r\n");
        const std::string slice = text.substr(expected - 1, f.size());
        if (i + 1 < s.fragments.size() || slice.size() == f.size()) {
            EXPECT_EQ(slice.substr(0, f.size() - 2), f.substr(0, f.size() - 2));
        }
        expected += f.size();
    }
}

} // namespace

TEST(FindParagraphBreak, FindsIndentAndEmptyLineFromStart) {
    EXPECT_EQ(FindParagraphBreak("ab\r\n cd", 1), 3);
    EXPECT_EQ(FindParagraphBreak("ab\r\n\r\ncd", 1), 3);
    EXPECT_EQ(FindParagraphBreak("ab\r\ncd\r\n x", 1), 7);
    EXPECT_EQ(FindParagraphBreak("ab\r\ncd", 1), 0);
    EXPECT_EQ(FindParagraphBreak("ab\r\n", 1), 0); // nothing after the line break
    EXPECT_EQ(FindParagraphBreak("ab\r\n x\r\n y", 4), 7);
    EXPECT_EQ(FindParagraphBreak("", 1), 0);
}

TEST(SplitToFragments, LinesOfThirtyGoThreeToAFragment) {
    const std::string text = Lines({30, 30, 30, 30, 30, 30, 30});
    const Split s = Cut(text, 100);
    ASSERT_EQ(s.fragments.size(), 3u);
    EXPECT_EQ(s.fragments[0].size(), 96u);
    EXPECT_EQ(s.fragments[1].size(), 96u);
    EXPECT_EQ(s.fragments[2].size(), 32u);
    EXPECT_EQ(s.offsets[1], "97");
    ExpectExactOffsets(text, s);
}

TEST(SplitToFragments, LongLineJoinsTheShortOnesBeforeIt) {
    const std::string text = Lines({30, 30, 80, 10});
    const Split s = Cut(text, 100);
    ASSERT_EQ(s.fragments.size(), 2u);
    EXPECT_EQ(s.fragments[0].size(), 146u);
    EXPECT_EQ(s.offsets[1], "147");
    ExpectExactOffsets(text, s);
}

TEST(SplitToFragments, SingleLongLineIsOneFragmentOverTheLimit) {
    const std::string text = Lines({250, 20});
    const Split s = Cut(text, 100);
    ASSERT_EQ(s.fragments.size(), 2u);
    EXPECT_EQ(s.fragments[0].size(), 252u);
    ExpectExactOffsets(text, s);
}

TEST(SplitToFragments, OneCharacterAndNoLineBreak) {
    Split s = Cut("a", 4096);
    ASSERT_EQ(s.fragments.size(), 1u);
    EXPECT_EQ(s.fragments[0], "a\r\n");
    EXPECT_EQ(s.offsets[0], "1");
    s = Cut("one line without a break", 4096);
    ASSERT_EQ(s.fragments.size(), 1u);
    EXPECT_EQ(s.fragments[0], "one line without a break\r\n");
    EXPECT_TRUE(Cut("", 4096).fragments.empty());
}

TEST(SplitToFragments, LimitZeroOrNegativeMeansNoLimit) {
    const std::string text = Lines({30, 30, 30, 30});
    EXPECT_EQ(Cut(text, 0).fragments.size(), 1u);
    EXPECT_EQ(Cut(text, -5).fragments.size(), 1u);
}

// A paragraph break within the first 1024 characters: cuts only at paragraph breaks, so a
// fragment never starts inside a paragraph; beyond 1024: at every line break.
TEST(SplitToFragments, ParagraphBreakBeforeAndAfter1024) {
    auto book = [](int firstBreakAt) {
        std::string text;
        while (static_cast<int>(text.size()) + 40 < firstBreakAt - 1)
            text += std::string(38, 'b') + "\r\n";
        text +=
            std::string(static_cast<size_t>(firstBreakAt - 1 - static_cast<int>(text.size())), 'c');
        text += "\r\n"; // the break at firstBreakAt
        for (int p = 0; p < 20; ++p)
            text += " " + std::string(50, 'd') + "\r\n" + std::string(50, 'e') + "\r\n";
        return text;
    };
    const std::string early = book(900);
    ASSERT_EQ(FindParagraphBreak(early, 1), 900);
    Split s = Cut(early, 100);
    ExpectExactOffsets(early, s);
    for (size_t i = 1; i < s.fragments.size(); ++i)
        EXPECT_EQ(s.fragments[i][0], ' ') << "fragment " << i << " starts inside a paragraph";
    EXPECT_EQ(s.fragments[0].size(), 901u); // the whole first paragraph

    const std::string late = book(2000);
    ASSERT_EQ(FindParagraphBreak(late, 1), 2000);
    s = Cut(late, 100);
    ExpectExactOffsets(late, s);
    EXPECT_LE(s.fragments[0].size(), 200u); // cut at line breaks
    bool someStartsInsideParagraph = false;
    for (size_t i = 1; i < s.fragments.size(); ++i)
        someStartsInsideParagraph |= s.fragments[i][0] == 'e';
    EXPECT_TRUE(someStartsInsideParagraph);
}

TEST(SplitToFragments, BlankText) {
    EXPECT_TRUE(IsBlankText(" \t\r\n"));
    EXPECT_TRUE(IsBlankText(""));
    EXPECT_FALSE(IsBlankText(" x "));
}

TEST(RoundHalfEven, TiesGoToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(2.4), 2);
    EXPECT_EQ(RoundHalfEven(2.6), 3);
}

TEST(SpokenWords, PunctuationTrimmedAndBlanksSplit) {
    // "«Привет», — сказал он. 25!" in Windows-1251
    const std::string text = "\xAB\xCF\xF0\xE8\xE2\xE5\xF2\xBB, \x97 \xF1\xEA\xE0\xE7\xE0\xEB "
                             "\xEE\xED. 25!\r\n";
    const auto words = SpokenWords(text);
    ASSERT_EQ(words.size(), 4u);
    EXPECT_EQ(words[0].start, 1);
    EXPECT_EQ(words[0].length, 6);
    EXPECT_EQ(words[3].start, static_cast<int>(text.find("25")));
    EXPECT_EQ(words[3].length, 2);
}

TEST(WordTracker, MovesOnlyForward) {
    WordTracker t(SpokenWords("one two  three four"));
    EXPECT_EQ(t.Map(0), 0);
    EXPECT_EQ(t.Map(1), -1); // a second event inside the same word
    EXPECT_EQ(t.Map(7), 2);  // the blank before "three": the following word
    EXPECT_EQ(t.Map(4), -1); // backwards
    EXPECT_EQ(t.Map(14), 3);
    EXPECT_EQ(t.Map(40), -1); // past the end
}

#include "speech/AudioLists.h"
#include "speech/Sapi5.h"

TEST(AudioLists, EntriesAndFormatTypesAgree) {
    const std::string speeds = GetSpeedList();
    EXPECT_EQ(speeds.substr(0, 8), "x1\r\nx2\r\n");
    EXPECT_EQ(speeds.substr(speeds.size() - 5), "MAX\r\n");
    const std::string formats = GetAudioFormatList();
    std::vector<std::string> names;
    for (size_t at = 0; at < formats.size();) {
        const size_t end = formats.find("\r\n", at);
        names.push_back(formats.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(names.size(), 36u);
    EXPECT_EQ(names[0], "SAFT8kHz8BitMono");
    EXPECT_EQ(names[18], "SAFT22kHz16BitMono");
    EXPECT_EQ(names[35], "SAFT48kHz16BitStereo");
    // Entry i is format type i + 4.
    const auto first = AudioFormatOfType(4);
    EXPECT_EQ(first.rate, 8000);
    EXPECT_EQ(first.bits, 8);
    EXPECT_EQ(first.channels, 1);
    const auto mid = AudioFormatOfType(18 + 4);
    EXPECT_EQ(mid.rate, 22050);
    EXPECT_EQ(mid.bits, 16);
    EXPECT_EQ(mid.channels, 1);
    const auto last = AudioFormatOfType(39);
    EXPECT_EQ(last.rate, 48000);
    EXPECT_EQ(last.channels, 2);
    EXPECT_THROW(AudioFormatOfType(40), SpeechError);
}
