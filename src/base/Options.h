#pragma once

#include <string>

namespace vocalix::base {

// The program-wide option variables, one per key of the settings file "$.ini". Parts read
// these, never the file. Members carry the key names (Font and Background keys are prefixed
// with their section, as both have a Color key). The defaults are those of a first start.
// The per-page keys (FileName N, CharPos N, PicNumber N, BookMarks N) live in the page slots
// of the main window.
struct Options {
    // [SpeechEngine]
    int Number = 0;
    int Speed = 0;
    int Pitch = 0;
    std::string Dictionary;
    // [Audio]: 18 when SAPI5 is true, else 7; resolved when read.
    int XNumber = 7;
    // [Text]
    int PicMargin = 550;
    bool WordWrap = false;
    bool AutoCap = false;
    bool AutoRepl = false;
    bool AutoParag = false;
    bool AutoAloud = false;
    bool AutoAloudP = true;
    bool AutoAloudA = false;
    int AutoRepeat = 1;
    bool PicImport = false;
    int Scale = 100;
    int ActivePageIndex = 0;
    // [Form]
    int LeftCorner = -1;
    int TopCorner = -1;
    int Width = 714;
    int Height = 584;
    // [AudioConverter]
    int ACNumber = 1;
    int BRNumber = 4;
    int QNumber = 2;
    std::string AllParam = "-b64 -h";
    bool ConverterMinimize = false;
    bool AudioFromTop = true;
    // [Series]
    bool AudioSplit = false;
    int BytesInBlock = 32768;
    bool ChapHeadSencitive = true;
    bool Header = false;
    // [LitText]
    int Parag = 4;
    int MaxLen = 76;
    int MaxHugeLen = 228;
    bool RightJustify = false;
    // [SAPI]
    bool SAPI5 = false;
    // [FreshEye]
    int Deep = 11;
    int Similarity = 50;
    // [Others]
    int BytesInFrag = 4096;
    bool IgnoreRules = false;
    bool IgnorePrev = false;
    bool IsXML = false;
    std::string GKName = "<\xED\xE5\xF2>"; // "<нет>"
    std::string GKName2 = "<\xED\xE5\xF2>";
    bool HandPointCursor = false;
    // [Font]
    std::string FontName;
    int FontSize = 10;
    int FontCharSet = 1;
    int FontColor = 0;
    int FontStyle = 0;
    // [Background]
    int BackgroundColor = -16777211; // FF000005: the system colour of window backgrounds
    // [Extra]: additions of our own, at the end of the settings file
    bool Subtitles = false;
    int Workers = 0; // processes that record a long text; 0 = one per processor
};

} // namespace vocalix::base
