#pragma once

#include <string>
#include <string_view>

// Detection and repair of the Cyrillic code pages a plain text may arrive in (DOS, KOI8,
// UTF-8), always towards Windows-1251.
namespace vocalix::documents {

// Text with spaces and control characters (codes up to 32) removed at both ends.
std::string_view TrimControls(std::string_view text);

// A sample of a long text: its start, middle and end, N, 2N and N characters long, joined
// by spaces; a text not longer than 4N is its own sample.
std::string TextSample(std::string_view text, std::size_t n);

// True when the text looks like DOS (code page 866) Cyrillic.
bool IsDosText(std::string_view text);

// True when the text looks like KOI8 Cyrillic.
bool IsKoiText(std::string_view text);

// True when the text declares itself UTF-8 or looks like UTF-8 Cyrillic.
bool IsUtf8Text(std::string_view text);

// KOI8 to Windows-1251 through the 128-entry table.
std::string KoiToWin(std::string_view text);

// Appends one Unicode character in Windows-1251: "?" when the code page lacks it. A
// byte-order mark and combining accents vanish: as "?" inside a word they would break it for
// reading aloud. Only the acute after a Russian vowel (a stress mark) is kept, as "+" before
// that vowel.
void AppendAsWin(std::string& out, char32_t code);

// One UTF-8 sequence (lead byte and its continuation bytes) to Windows-1251; a character
// the code page lacks becomes "?" (see AppendAsWin).
std::string Utf8SeqToWin(std::string_view sequence);

// UTF-8 to Windows-1251, sequence by sequence; stray continuation bytes pass unchanged and a
// sequence cut short by the end of the text is dropped.
std::string Utf8ToWin(std::string_view text);
// The same in the string itself (the text only shrinks).
void Utf8ToWinInPlace(std::string& text);

// DOS (code page 866) to Windows-1251; a character the code page lacks becomes "?".
std::string DosToWin(std::string_view text);

// True when the bytes begin with a UTF-16 byte-order mark (either byte order).
bool HasUtf16Mark(std::string_view bytes);

// UTF-16 with its byte-order mark to Windows-1251 (see AppendAsWin); an unpaired surrogate
// becomes "?" and an odd last byte is dropped.
std::string Utf16ToWin(std::string_view bytes);

// True when the text is valid UTF-8 throughout and has at least one multi-byte sequence.
bool IsValidMultibyteUtf8(std::string_view text);

// Which repair RepairCodePage applied (Utf16 only by the readers, which see the raw bytes).
enum class CodePageRepair { None, Dos, Koi, Utf8, Utf16 };

// The open routine's repair: DOS first, then KOI8, then UTF-8; the first that holds is
// applied to the text in place. Dashes and curly quotes make a mostly Latin text look like DOS
// to the byte statistics, so their verdict gives way when the text is valid UTF-8 holding
// Russian letters or typographic marks, and a DOS verdict also when the only bytes that speak
// for DOS are Windows-1251 typographic marks. A text none of them claims that is nevertheless
// valid UTF-8 with multi-byte sequences (a short page) is taken as UTF-8 too: real Windows-1251
// Russian text practically never is.
CodePageRepair RepairCodePage(std::string& text);

} // namespace vocalix::documents
