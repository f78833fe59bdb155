#pragma once

#include <string>
#include <string_view>
#include <vector>

// Small string routines on Windows-1251 text shared by the dictionaries, the filters and the
// analysis tools. Positions are 1-based where a routine returns one; nothing here throws.
namespace vocalix::textprep {

// Tokens and dictionary entries of this many characters or more are dropped by SplitBy.
constexpr size_t kMaxTokenLength = 100;

// Windows-1251 Russian case rules: Latin A-Z, Cyrillic А-Я, Ё.
char LowerChar(char c);
char UpperChar(char c);
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);

// One of the 16 punctuation characters that may surround a word.
bool IsPunctuation(char c);
// Latin A-Z, Ё and А-Я.
bool IsCapitalLetter(char c);
// Ё, ё and А-я.
bool IsCyrillicLetter(char c);
// Quotation mark, parentheses and guillemets.
bool IsBracket(char c);

// The pieces between separators; empty pieces and pieces of 100 or more characters dropped.
std::vector<std::string> SplitBy(std::string_view text, char separator);
void SplitBy(std::string_view text, char separator, std::vector<std::string>& pieces);

// First 1-based position >= start holding c; 0 when none or start exceeds the length.
size_t PosCharFrom(char c, std::string_view text, size_t start);

// Text before the first "="; empty without "=".
std::string_view NameOf(std::string_view text);
// Text after the first "="; all of the text without "=".
std::string_view ValueOf(std::string_view text);
// Text after the first "="; empty without "=".
std::string_view TagValueOf(std::string_view text);
// Text before the first separator; all of the text without one.
std::string_view KeyOf(std::string_view text, char separator);

// Longest punctuation prefix; all of the token when it is punctuation only.
std::string_view LeadingPunctuation(std::string_view token);
// Longest punctuation suffix; all of the token when it is punctuation only.
std::string_view TrailingPunctuation(std::string_view token);
// The token without its leading and trailing punctuation; empty for punctuation only.
std::string_view WordCore(std::string_view token);
// The bracket characters of the token in their order.
std::string BracketsOf(std::string_view token);
// The word with its trailing punctuation but without brackets, quotes and leading punctuation;
// short bracketed items such as "а)" and "(1)" stay whole.
std::string WordWithoutBrackets(std::string_view token);
// For a pattern ending in "*": the punctuation just before that star; otherwise empty.
std::string_view PatternTailPunctuation(std::string_view pattern);
// Whether the first character outside the punctuation set is a capital letter.
bool StartsWithCapital(std::string_view token);
// The first character outside the punctuation set in upper case.
std::string CapitalizeFirstLetter(std::string_view token);
// Non-empty and made only of Cyrillic letters.
bool IsCyrillicWord(std::string_view token);
bool StartsWithChar(std::string_view token, char c);
std::string_view DropFirstChar(std::string_view token);

// Case-sensitive match where "*" stands for any run of characters (see the .cpp for the one
// rule about trailing stars). False when either string is longer than 255 characters.
bool WildMatch(std::string_view text, std::string_view pattern);
// Only single stars and spaces (also the empty string).
bool IsStarOnlyPattern(std::string_view pattern);

// Longer strings first; equal lengths keep their order.
void SortByLengthDesc(std::vector<std::string>& list);

// Every occurrence of `from` replaced by `to`, left to right, without overlaps.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
// Leading and trailing characters of code <= 32 removed.
std::string_view TrimControls(std::string_view text);

} // namespace vocalix::textprep
