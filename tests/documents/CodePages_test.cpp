#include "documents/CodePages.h"

#include "DocumentsTestUtil.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>

using namespace vocalix::documents;
using vocalix::base::Cp;
using vocalix::base::ToCrLf;
using vocalix::base::Utf8ToCp1251;
namespace t = vocalix::documents::test;

TEST(TextSample, ShortTextIsItsOwnSample) {
    EXPECT_EQ(TextSample("abcdefgh", 2), "abcdefgh"); // 4N == L
    EXPECT_EQ(TextSample("", 5), "");
}

TEST(TextSample, StartMiddleAndEndWithoutTheLastCharacter) {
    // L = 9, N = 2: M = round(4.5) = 4 (halves to even); middle starts at position 2.
    EXPECT_EQ(TextSample("123456789", 2), "12 2345 78");
    // L = 11: M = round(5.5) = 6; middle from position 4.
    EXPECT_EQ(TextSample("abcdefghijk", 2), "ab defg ij");
    // L = 10: M = 5; middle from position 3, end from position 8.
    EXPECT_EQ(TextSample("0123456789", 2), "01 2345 78");
    EXPECT_EQ(TextSample("abcdefghij", 2), "ab cdef hi");
}

TEST(Detectors, DosKoiAndUtf8ByTheirByteStatistics) {
    EXPECT_TRUE(IsDosText(std::string(5000, '\x80')));
    EXPECT_FALSE(IsDosText(""));
    EXPECT_FALSE(IsDosText(Cp("Обычный текст в кодировке Windows")));
    // Many "о" (207) and few "ю" (192) in KOI8.
    std::string koi = std::string(10, '\xCF') + std::string(3, '\xC0') + " text";
    EXPECT_TRUE(IsKoiText(koi));
    EXPECT_FALSE(IsKoiText("\xCF")); // W + 1 < K
    EXPECT_FALSE(IsKoiText("\xCF\xCF\xC0"));
    EXPECT_TRUE(IsUtf8Text("Это текст в кодировке UTF-8, довольно обычный и русский."));
    EXPECT_FALSE(IsUtf8Text(Cp("Это текст в кодировке Windows-1251.")));
}

TEST(Detectors, DeclaredUtf8WinsOverTheBytes) {
    const std::string page = "<meta content=\"text/html; CHARSET=UTF-8\">" + Cp("Привет");
    EXPECT_TRUE(IsUtf8Text(page));
    EXPECT_TRUE(IsUtf8Text("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
    // Only the first 1024 characters are looked at, and the quote is part of the mark.
    EXPECT_FALSE(IsUtf8Text(std::string(1024, ' ') + "encoding=\"utf-8\""));
    EXPECT_FALSE(IsUtf8Text("charset=utf-80"));
}

TEST(Detectors, EveryFormOfTheUtf8DeclarationAndUtf16) {
    const std::string russian = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"; // Привет
    for (const char* head :
         {"<meta charset=\"utf-8\">", "<meta charset='UTF-8'>", "<meta charset=utf-8>",
          "<meta charset=Utf-8 />", "text/html; charset=utf-8;", "<?xml encoding='utf-8'?>"}) {
        std::string text = std::string(head) + "<p>" + russian;
        EXPECT_TRUE(IsUtf8Text(text)) << head;
        EXPECT_EQ(RepairCodePage(text), CodePageRepair::Utf8) << head;
        EXPECT_EQ(text, std::string(head) + "<p>" + Cp("Привет"));
    }
    // Undeclared and too short for the byte statistics, but valid UTF-8 throughout.
    std::string plain = russian + " 1";
    EXPECT_EQ(RepairCodePage(plain), CodePageRepair::Utf8);
    EXPECT_EQ(plain, Cp("Привет 1"));
    EXPECT_FALSE(IsValidMultibyteUtf8("ascii only"));
    EXPECT_FALSE(IsValidMultibyteUtf8(Cp("Привет")));
    EXPECT_FALSE(IsValidMultibyteUtf8("\xC0\x80"));     // overlong
    EXPECT_FALSE(IsValidMultibyteUtf8("\xED\xA0\x80")); // surrogate

    const std::string le("\xFF\xFE\x1F\x04\x0D\x00\x0A\x00\x3D\xD8\x00\xDE", 12);
    const std::string be("\xFE\xFF\x04\x1F\x00\x0D\x00\x0A\xD8\x3D\xDE\x00", 12);
    EXPECT_TRUE(HasUtf16Mark(le));
    EXPECT_TRUE(HasUtf16Mark(be));
    EXPECT_FALSE(HasUtf16Mark("\xFF"));
    EXPECT_EQ(Utf16ToWin(le), Cp("П") + "\r\n?");
    EXPECT_EQ(Utf16ToWin(be), Cp("П") + "\r\n?");
    EXPECT_EQ(Utf16ToWin(std::string("\xFF\xFE\x00\xD8\x41", 5)), "?"); // lone surrogate, odd end
}

TEST(KoiToWin, LettersAndTheExtraCharacters) {
    EXPECT_EQ(KoiToWin("\xF0\xD2\xC9\xD7\xC5\xD4, ascii"), Cp("Привет, ascii"));
    EXPECT_EQ(KoiToWin("\xA3\xB3\xA4\xB4\xA7\xB7\x9C\x9E"), Cp("ёЁєЄїЇ°·"));
    EXPECT_EQ(KoiToWin("\x9A\xBF"), "\xA0\xA9"); // no-break space and copyright keep meaning
}

TEST(Utf8ToWin, SequencesStrayBytesAndTruncation) {
    EXPECT_EQ(Utf8ToWin("Ёжик — «ok»"), Cp("Ёжик — «ok»"));
    EXPECT_EQ(Utf8ToWin("a\x80z"), "a\x80z"); // stray continuation byte copied
    EXPECT_EQ(Utf8ToWin("ab\xD0"), "ab");     // cut short: dropped
    EXPECT_EQ(Utf8ToWin("\xE2\x82"), "");
    EXPECT_EQ(Utf8ToWin("日本"), "??");
    EXPECT_EQ(Utf8ToWin("😀!"), "?!");
    EXPECT_EQ(Utf8ToWin("\xEF\xBB\xBFтекст"), Cp("текст")); // byte-order mark
    EXPECT_EQ(Utf8ToWin("\xC3\x28x"), "?x"); // continuation taken unchecked: one bad char
    EXPECT_EQ(Utf8ToWin("\xFC\x80\x80\x80\x80\x80z"), "?z"); // six-byte form
    EXPECT_EQ(Utf8SeqToWin("\xD0\xB0"), Cp("а"));
    EXPECT_EQ(Utf8SeqToWin("\xC0\xAF"), "?"); // overlong
}

// The whole-text conversion takes shortcuts for Russian letters; every two-byte sequence of
// the Cyrillic leads must still give what the sequence alone gives, with the text after it
// moved up intact.
TEST(Utf8ToWin, EveryCyrillicTwoByteSequenceAsAlone) {
    for (const char lead : {'\xD0', '\xD1'})
        for (int second = 0x80; second <= 0xBF; ++second) {
            const std::string sequence{lead, static_cast<char>(second)};
            EXPECT_EQ(Utf8ToWin(sequence + "ab" + sequence + "\x80"),
                      Utf8SeqToWin(sequence) + "ab" + Utf8SeqToWin(sequence) + "\x80")
                << second;
        }
}

// A stress mark (combining acute) after a Russian vowel becomes "+" before that vowel; every
// other combining accent, and an acute anywhere else, still vanishes.
TEST(Utf8ToWin, StressMarksBecomePlusBeforeTheVowel) {
    const struct {
        const char* utf8;
        const char* cp1251;
    } cases[] = {
        {"Ге\xCC\x81рманн", "Г+ерманн"},
        {"за\xCC\x81мок замо\xCC\x81к", "з+амок зам+ок"},
        {"А\xCC\x81рмия ё\xCC\x81ж", "+Армия +ёж"},
        {"а\xCC\x81\xCC\x81", "+а"},                // doubled: one mark
        {"\xCC\x81а м\xCC\x81 e\xCC\x81", "а м e"}, // nothing, a consonant, a Latin vowel before it
        {"а\xCC\x80 о\xCC\x88", "а о"},             // grave, diaeresis
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToWin(c.utf8), Cp(c.cp1251)) << c.utf8;
    // The same routine serves UTF-16: "а" + acute, little-endian.
    EXPECT_EQ(Utf16ToWin(std::string("\xFF\xFE\x30\x04\x01\x03", 6)), Cp("+а"));
}

TEST(DosToWin, LettersAndCharactersWithoutCounterpart) {
    EXPECT_EQ(DosToWin("\x8F\xE0\xA8\xA2\xA5\xE2 \xF0\xF1"), Cp("Привет Ёё"));
    EXPECT_EQ(DosToWin("\xC4\xFC\xFF"), Cp("?№") + "\xA0");
}

TEST(RepairCodePage, FirstMatchingDetectorWins) {
    std::string dos = "\x8F\xE0\xA8\xA2\xA5\xE2 \xAC\xA8\xE0";
    EXPECT_EQ(RepairCodePage(dos), CodePageRepair::Dos);
    EXPECT_EQ(dos, Cp("Привет мир"));
    std::string win = Cp("Привет, мир");
    EXPECT_EQ(RepairCodePage(win), CodePageRepair::None);
    EXPECT_EQ(win, Cp("Привет, мир"));
}

// Dashes, curly quotes and guillemets make the DOS statistics take a UTF-8 or Windows text
// for theirs; valid UTF-8 with such marks or Russian letters stays UTF-8, and Windows text stays
// as it is. A DOS text that happens to be valid UTF-8 (three-letter words read as three-byte
// sequences) stays DOS.
TEST(RepairCodePage, TypographyIsNotTakenForDos) {
    std::string english = "He said “hello” — and left…"; // UTF-8, as this source file
    ASSERT_TRUE(IsDosText(english));
    EXPECT_EQ(RepairCodePage(english), CodePageRepair::Utf8);
    EXPECT_EQ(english, Cp("He said “hello” — and left…"));
    std::string mixed = "Sources — «see» — «Пушкин»";
    ASSERT_TRUE(IsDosText(mixed));
    EXPECT_EQ(RepairCodePage(mixed), CodePageRepair::Utf8);
    EXPECT_EQ(mixed, Cp("Sources — «see» — «Пушкин»"));
    // The same marks in Windows-1251: the text is left as it is.
    std::string windows = Cp("Chapter 1 — „Hello“ and “bye”… § 2 «x»");
    ASSERT_TRUE(IsDosText(windows));
    EXPECT_EQ(RepairCodePage(windows), CodePageRepair::None);
    EXPECT_EQ(windows, Cp("Chapter 1 — „Hello“ and “bye”… § 2 «x»"));
    std::string dos = "\xE1\xA0\xA4 \xE2\xA8\xAF"; // "сад тип"
    ASSERT_TRUE(IsValidMultibyteUtf8(dos));
    EXPECT_EQ(RepairCodePage(dos), CodePageRepair::Dos);
    EXPECT_EQ(dos, Cp("сад тип"));
}

// The same texts in every code page decode to the same Windows-1251 text.
TEST(CorpusCodePages, EveryEncodingOfOneTextGivesTheSameText) {
    VOCALIX_NEED_CORPUS();
    struct Case {
        const char* file;
        CodePageRepair expected;
        const char* sameAs; // decodes to the same text as this file
    };
    const Case cases[] = {
        {"text/encodings/pushkin_pikovaya_dama.cp1251.txt", CodePageRepair::None, nullptr},
        {"text/encodings/pushkin_pikovaya_dama.utf8.txt", CodePageRepair::Utf8,
         "text/encodings/pushkin_pikovaya_dama.cp1251.txt"},
        {"text/encodings/pushkin_pikovaya_dama.utf8-bom.txt", CodePageRepair::Utf8,
         "text/encodings/pushkin_pikovaya_dama.cp1251.txt"},
        {"text/encodings/pushkin_pikovaya_dama.koi8r.txt", CodePageRepair::Koi,
         "text/encodings/pushkin_pikovaya_dama.cp866.txt"},
        {"text/encodings/pushkin_pikovaya_dama.cp866.txt", CodePageRepair::Dos, nullptr},
        {"text/vimtutor/vimtutor_ru.koi8-r.txt", CodePageRepair::Koi,
         "text/vimtutor/vimtutor_ru.cp1251.txt"},
        {"text/vimtutor/vimtutor_ru.utf8.txt", CodePageRepair::Utf8,
         "text/vimtutor/vimtutor_ru.cp1251.txt"},
        {"text/vimtutor/vimtutor_ru.cp1251.txt", CodePageRepair::None, nullptr},
        {"text/books/gogol_viy.koi8r.txt", CodePageRepair::Koi, "text/books/gogol_viy.utf8.txt"},
        {"text/books/gogol_viy.utf8.txt", CodePageRepair::Utf8, nullptr},
        {"text/books/pushkin_kapitanskaya_dochka.cp866.txt", CodePageRepair::Dos, nullptr},
        {"text/books/tolstoy_anna_karenina.cp1251.txt", CodePageRepair::None, nullptr},
        {"text/books/dostoevsky_prestuplenie_i_nakazanie.utf8.txt", CodePageRepair::Utf8, nullptr},
        {"text/detect/uchardet_ru_ibm866.txt", CodePageRepair::Dos, nullptr},
        {"text/detect/uchardet_ru_koi8-r.txt", CodePageRepair::Koi, nullptr},
        {"text/detect/uchardet_ru_windows-1251.txt", CodePageRepair::None, nullptr},
        {"text/detect/chardet_ude_1.ibm866.txt", CodePageRepair::Dos,
         "text/detect/chardet_ude_1.windows-1251.txt"},
        {"text/detect/chardet_ude_1.koi8-r.txt", CodePageRepair::Koi,
         "text/detect/chardet_ude_1.windows-1251.txt"},
        {"text/detect/chardet_ude_1.windows-1251.txt", CodePageRepair::None, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string text = ToCrLf(t::CorpusFile(c.file));
        EXPECT_EQ(RepairCodePage(text), c.expected);
        if (c.sameAs) {
            std::string other = ToCrLf(t::CorpusFile(c.sameAs));
            RepairCodePage(other);
            EXPECT_TRUE(text == other); // a diff of whole books is of no use here
        }
    }
}

TEST(CorpusCodePages, UnsupportedCodePagesDoNotCrash) {
    VOCALIX_NEED_CORPUS();
    for (const char* f :
         {"text/detect/uchardet_ru_mac-cyrillic.txt", "text/detect/uchardet_ru_iso-8859-5.txt",
          "text/detect/uchardet_ru_ibm855.txt"}) {
        std::string text = t::CorpusFile(f);
        const std::size_t size = text.size();
        RepairCodePage(text);
        EXPECT_LE(text.size(), size + 1) << f;
    }
}
