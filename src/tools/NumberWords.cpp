#include "tools/NumberWords.h"

#include "base/Cp1251.h"
#include "textprep/StringRoutines.h"

#include <algorithm>
#include <array>
#include <vector>

namespace vocalix::tools {
namespace {

using base::Cp;

struct WordTables {
    std::array<std::string, 10> hundreds, tens, teens, unitsFem, unitsMasc;
    // Scale words by group (1 = thousands ... 8 = septillions), three forms each.
    std::array<std::array<std::string, 3>, 9> scale;
    std::array<std::string, 13> fractions; // by digits after the point, 1..12

    WordTables() {
        const char* h[] = {"",         "сто ",      "двести ",  "триста ",    "четыреста ",
                           "пятьсот ", "шестьсот ", "семьсот ", "восемьсот ", "девятьсот "};
        const char* t[] = {"",
                           "",
                           "двадцать ",
                           "тридцать ",
                           "сорок ",
                           "пятьдесят ",
                           "шестьдесят ",
                           "семьдесят ",
                           "восемьдесят ",
                           "девяносто "};
        const char* tn[] = {"десять ",       "одиннадцать ", "двенадцать ",  "тринадцать ",
                            "четырнадцать ", "пятнадцать ",  "шестнадцать ", "семнадцать ",
                            "восемнадцать ", "девятнадцать "};
        const char* uf[] = {"",      "одна ",  "две ",  "три ",    "четыре ",
                            "пять ", "шесть ", "семь ", "восемь ", "девять "};
        for (size_t i = 0; i < 10; ++i) {
            hundreds[i] = Cp(h[i]);
            tens[i] = Cp(t[i]);
            teens[i] = Cp(tn[i]);
            unitsFem[i] = unitsMasc[i] = Cp(uf[i]);
        }
        unitsMasc[1] = Cp("один ");
        unitsMasc[2] = Cp("два ");
        const char* sc[8][3] = {
            {"тысяча ", "тысячи ", "тысяч "},
            {"миллион ", "миллиона ", "миллионов "},
            {"миллиард ", "миллиарда ", "миллиардов "},
            {"триллион ", "триллиона ", "триллионов "},
            {"квадриллион ", "квадриллиона ", "квадриллионов "},
            {"квинтиллион ", "квинтиллиона ", "квинтиллинов "},
            {"секстиллион ", "секстиллиона ", "секстиллионов "},
            {"септиллион ", "септиллиона ", "септиллионов "},
        };
        for (size_t g = 0; g < 8; ++g)
            for (size_t f = 0; f < 3; ++f)
                scale[g + 1][f] = Cp(sc[g][f]);
        const char* fr[] = {"",
                            "десятых",
                            "сотых",
                            "тысячных",
                            "десятитысячных",
                            "стотысячных",
                            "милионных",
                            "десятимиллионных",
                            "стомиллионных",
                            "миллиардных",
                            "десятимиллиардных",
                            "стомиллиардных",
                            "триллионных"};
        for (size_t i = 0; i < 13; ++i)
            fractions[i] = Cp(fr[i]);
    }
};

const WordTables& Words() {
    static const WordTables tables;
    return tables;
}

constexpr size_t kMaxIntegerDigits = 27;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int DigitOf(char c) {
    return IsDigit(c) ? c - '0' : 0;
}

} // namespace

std::string DotsToDashes(std::string_view text) {
    if (std::count(text.begin(), text.end(), '.') < 2)
        return std::string(text);
    std::string out(text);
    std::replace(out.begin(), out.end(), '.', '-');
    return out;
}

std::string_view PluralForm(std::string_view digits, std::string_view form1, std::string_view form2,
                            std::string_view form3) {
    const std::string_view last = digits.size() > 2 ? digits.substr(digits.size() - 2) : digits;
    int n = 0;
    for (const char c : last)
        n = n * 10 + DigitOf(c);
    if (n % 10 == 1 && n != 11)
        return form1;
    if (n % 10 <= 1 || n % 10 >= 5 || (n >= 12 && n <= 14))
        return form3;
    return form2;
}

std::string IntegerToWords(std::string_view digits) {
    const WordTables& w = Words();
    std::string work(digits);
    const size_t length = work.size();
    std::string out;
    int nonZero = 0;
    for (size_t k = 1; k <= length; ++k) {
        const int d = DigitOf(work[k - 1]);
        const size_t below = length - k; // digits to the right of this one
        switch ((below + 1) % 3) {
        case 0: // hundreds
            out += w.hundreds[static_cast<size_t>(d)];
            nonZero += d > 0;
            break;
        case 2: // tens
            if (d == 1) {
                out += w.teens[static_cast<size_t>(DigitOf(work[k]))];
                // The units step then adds nothing and the scale word takes the form of five.
                work[k] = '0';
            } else {
                out += w.tens[static_cast<size_t>(d)];
            }
            nonZero += d > 0;
            break;
        default: { // units
            nonZero += d > 0;
            const bool feminine = d > 2 || below == 3;
            out += (feminine ? w.unitsFem : w.unitsMasc)[static_cast<size_t>(d)];
            if (nonZero > 0 && below % 3 == 0 && below >= 3 && below <= 24) {
                const auto& forms = w.scale[below / 3];
                out += PluralForm(work.substr(k - 1, 1), forms[0], forms[1], forms[2]);
            }
            nonZero = 0;
        }
        }
    }
    const std::string_view trimmed = textprep::TrimControls(out);
    return trimmed.empty() ? Cp("ноль") : std::string(trimmed);
}

std::string NumberToPhrase(std::string_view run) {
    const size_t point = run.find('.');
    if (point == std::string_view::npos)
        return run.size() <= kMaxIntegerDigits ? IntegerToWords(run) : std::string(run);
    const std::string_view integer = run.substr(0, point);
    if (integer.size() > kMaxIntegerDigits)
        return std::string(run);
    const std::string_view fraction = run.substr(point + 1);
    if (fraction.empty())
        return IntegerToWords(integer);
    const auto& names = Words().fractions;
    return IntegerToWords(integer) + Cp(" и ") + IntegerToWords(fraction) + " " +
           names[std::min<size_t>(fraction.size(), 12)];
}

std::string NumbersToWords(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    size_t i = 0;
    while (i < text.size()) {
        if (!IsDigit(text[i]) && text[i] != '.') {
            out += text[i++];
            continue;
        }
        size_t end = i;
        bool digit = false;
        while (end < text.size() && (IsDigit(text[end]) || text[end] == '.')) {
            digit = digit || IsDigit(text[end]);
            ++end;
        }
        const std::string_view run = text.substr(i, end - i);
        // A full stop after a word is no number.
        if (digit)
            out += NumberToPhrase(run);
        else
            out += run;
        i = end;
    }
    return out;
}

} // namespace vocalix::tools
