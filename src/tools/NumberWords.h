#pragma once

#include <string>
#include <string_view>

namespace vocalix::tools {

// Numbers written out in Russian words (Windows-1251).

// Every "." becomes "-" when the text holds two or more of them (a date becomes three
// numbers); otherwise the text is returned unchanged.
std::string DotsToDashes(std::string_view text);
// Every run of digits and dots that holds a digit, in words; the rest of the text unchanged.
std::string NumbersToWords(std::string_view text);
// A run of digits with at most one decimal point in words; integer parts of more than 27
// digits stay as they are.
std::string NumberToPhrase(std::string_view run);
// A digit string in words ("ноль" for zeros); other characters count as 0.
std::string IntegerToWords(std::string_view digits);
// The form agreeing with the number given as digits: form1 for one, form2 for two to four,
// form3 for the rest (and for 11 to 14).
std::string_view PluralForm(std::string_view digits, std::string_view form1, std::string_view form2,
                            std::string_view form3);

} // namespace vocalix::tools
