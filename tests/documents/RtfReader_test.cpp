#include "documents/RtfReader.h"

#include "DocumentsTestUtil.h"
#include "base/Cp1251.h"
#include "documents/CodePages.h"

#include <gtest/gtest.h>

using namespace vocalix::documents;
using vocalix::base::Cp;
namespace t = vocalix::documents::test;

TEST(RtfToText, Table) {
    const std::pair<std::string, std::string> cases[] = {
        {R"({\rtf1\ansi Hello\par World})", "Hello\r\nWorld"},
        {R"({\rtf1 a\line b\tab c})", "a\r\nb\tc"},
        {"{\\rtf1 one\r\ntwo\npar}", "onetwopar"}, // raw line ends are not text
        {R"({\rtf1\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2})", Cp("Привет")},
        {R"({\rtf1\ansi \'cf\'f0})", Cp("Пр")}, // the default code page is 1251
        {R"({\rtf1\ansi\ansicpg1252 caf\'e9 \'80})", "caf? \x88"},
        {R"({\rtf1 \u1055\'3f\u1088?ok})", Cp("Прok")},
        {R"({\rtf1\uc2 \u1055\'3f\'3fX})", Cp("ПX")},
        {R"({\rtf1\uc0 \u1055 X})", Cp("ПX")},
        {R"({\rtf1 {\u1055}X})", Cp("ПX")},        // a group end ends the fallback
        {R"({\rtf1 \u-3913?})", "?"},              // negative: U+F0B7 lacks in 1251
        {R"({\rtf1 \u-10179?\u-8704?!})", "?!"},   // surrogate pair: one character
        {R"({\rtf1 \u769?})", ""},                 // a stress mark over nothing vanishes
        {R"({\rtf1 \u1072\'3f\u769?})", Cp("+а")}, // a stress mark over a vowel is kept
        {R"({\rtf1{\fonttbl{\f0\fcharset204 Times;}}{\colortbl;\red1\green2\blue3;})"
         R"({\stylesheet{\s1 Normal;}}{\info{\title T}{\author A}}Body})",
         "Body"},
        {R"({\rtf1{\*\generator Writer;}{\*\unknowndest stuff {nested}}after})", "after"},
        {R"({\rtf1 a{\pict\pngblip 89504e47}b})", "ab"},
        {"{\\rtf1 a{\\pict\\bin4 }}}}}b}", "ab"}, // \bin bytes are data, braces included
        {R"({\rtf1 \{\}\\\~x\-y\_z})", "{}\\\xA0xy-z"},
        {R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})",
         "\x97\x96\x95\x91\x92\x93\x94"},
        {R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})", "link"},
        {R"({\rtf1 \b bold\b0 \i it\i0\par})", "boldit\r\n"},
        {R"({\rtf1 cell1\cell cell2\cell\row})", "cell1\tcell2\t\r\n"},
        {R"({\rtf1 \'e)", ""},      // truncated escape
        {R"({\rtf1 text)", "text"}, // truncated document
        {R"({\rtf1 \)", ""},
        {R"({\rtf1 }}}}more)", "more"}, // stray closing braces
        {R"({\rtf1 \verylongcontrolwordthatgoesonandonandonandon x})", "x"},
        {R"({\rtf1 \par99999999999999999999 x})", "\r\nx"},
        {"plain text, not rtf\r\n", "plain text, not rtf\r\n"},
        {"", ""},
    };
    for (const auto& [rtf, text] : cases)
        EXPECT_EQ(RtfToText(rtf), text) << rtf;
}

TEST(RtfToText, FontCharsetsChooseTheCodePage) {
    const std::string rtf =
        R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fcharset0 Arial;})"
        R"({\f1\fcharset204 Arial Cyr;}}\f0 caf\'e9 \f1 \'cf\'f0 {\f0 \'e9}\'cf})";
    EXPECT_EQ(RtfToText(rtf), Cp("caf? Пр ?П"));
}

TEST(RtfToText, DeepNestingAndUnbalancedGroupsDoNotCrash) {
    std::string rtf = "{\\rtf1 ";
    rtf += std::string(200000, '{') + "deep" + std::string(100, '}') + "\\par";
    EXPECT_EQ(RtfToText(rtf), "deep\r\n");
}

TEST(CorpusRtf, DocumentsReadAsTheirPlainText) {
    VOCALIX_NEED_CORPUS();
    // The Word-style Cyrillic document: every paragraph of the story, no header group.
    const std::string pushkin =
        RtfToText(t::CorpusFile("rtf/pushkin_pikovaya_dama.ansicpg1251.rtf"));
    EXPECT_EQ(pushkin.rfind(Cp("Александр Сергеевич Пушкин\r\nПИКОВАЯ ДАМА\r\n"), 0), 0u);
    EXPECT_NE(pushkin.find(Cp("Однажды играли в карты у конногвардейца Нарумова.")),
              std::string::npos);
    // Its stress marks (combining acutes) become "+" before the vowels.
    EXPECT_NE(pushkin.find(Cp("Ударения: Г+ерманн, Чекал+инский")), std::string::npos);
    EXPECT_NE(pushkin.find("Il para?t que monsieur est d?cid?ment"), std::string::npos);
    EXPECT_EQ(pushkin.find(Cp("А. С. Пушкин")), std::string::npos); // from the info group

    // The same story written by an office suite (Unicode escapes) and its HTML page agree.
    const std::string chekhov =
        RtfToText(t::CorpusFile("rtf/chekhov_dama_s_sobachkoy.libreoffice.rtf"));
    const std::string withPictures =
        RtfToText(t::CorpusFile("rtf/chekhov_dama_s_sobachkoy_pictures.libreoffice.rtf"));
    for (const std::string* text : {&chekhov, &withPictures}) {
        EXPECT_EQ(text->rfind(Cp("Антон Павлович Чехов\r\nДама с собачкой\r\n"), 0), 0u);
        EXPECT_NE(text->find(Cp("Низшая раса!")), std::string::npos);
        for (const char* leak : {"\\", "{", "}", "Liberation", "jpegblip"})
            EXPECT_EQ(text->find(leak), std::string::npos) << leak;
        EXPECT_GT(text->size(), 30000u);
        EXPECT_LT(text->size(), 32000u);
    }
}
