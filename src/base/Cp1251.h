#pragma once

#include <string>
#include <string_view>

// The program keeps every text as Windows-1251 bytes with CR LF line ends.
// These routines are the single place where such text meets Unicode.
namespace vocalix::base {

// Unicode code point of one Windows-1251 byte (0x98, undefined, maps to U+0098).
char32_t Cp1251ToUnicode(unsigned char byte);

// Windows-1251 byte for a code point; a character the code page lacks becomes '?'.
char UnicodeToCp1251(char32_t code);

// The ten Russian vowel letters in either case (а е ё и о у ы э ю я).
bool IsCyrillicVowel(char c);

// The combining acute (U+0301) over a Russian vowel is a stress mark, which Windows-1251
// cannot hold; the text keeps it as the "+" before the vowel that pronunciation dictionaries
// use. Inserts that "+" before the vowel `out` ends with (once); false when it ends otherwise.
bool PutStressMark(std::string& out);

// Whole strings: Windows-1251 bytes to UTF-8 and back. Malformed UTF-8 bytes become '?'; an
// acute after a Russian vowel becomes the stress mark (PutStressMark).
std::string Cp1251ToUtf8(std::string_view text);
std::string Utf8ToCp1251(std::string_view text);

// Shorthand for Russian literals in UTF-8 source files: Cp("нет") gives the Windows-1251 bytes.
inline std::string Cp(std::string_view utf8) {
    return Utf8ToCp1251(utf8);
}

// LF or lone CR line ends to CR LF; existing CR LF pairs stay as they are.
std::string ToCrLf(std::string_view text);
// The same in the string itself (no copy when the line ends are already CR LF).
void ToCrLfInPlace(std::string& text);

} // namespace vocalix::base
