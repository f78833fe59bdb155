#include "base/Cp1251.h"

#include <array>
#include <cstring>
#include <unordered_map>

namespace vocalix::base {
namespace {

constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

const std::unordered_map<char32_t, char>& ReverseTable() {
    static const auto table = [] {
        std::unordered_map<char32_t, char> map;
        for (int i = 0; i < 128; ++i)
            map.emplace(kHighHalf[i], static_cast<char>(0x80 + i));
        return map;
    }();
    return table;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

char32_t Cp1251ToUnicode(unsigned char byte) {
    return byte < 0x80 ? char32_t(byte) : char32_t(kHighHalf[byte - 0x80]);
}

char UnicodeToCp1251(char32_t code) {
    if (code < 0x80)
        return static_cast<char>(code);
    const auto& table = ReverseTable();
    const auto it = table.find(code);
    return it == table.end() ? '?' : it->second;
}

std::string Cp1251ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text)
        AppendUtf8(out, Cp1251ToUnicode(c));
    return out;
}

bool IsCyrillicVowel(char c) {
    static constexpr std::string_view kVowels =
        "\xE0\xE5\xB8\xE8\xEE\xF3\xFB\xFD\xFE\xFF\xC0\xC5\xA8\xC8\xCE\xD3\xDB\xDD\xDE\xDF";
    return static_cast<unsigned char>(c) >= 0xA8 && kVowels.find(c) != std::string_view::npos;
}

bool PutStressMark(std::string& out) {
    if (out.empty() || !IsCyrillicVowel(out.back()))
        return false;
    if (out.size() < 2 || out[out.size() - 2] != '+')
        out.insert(out.size() - 1, 1, '+');
    return true;
}

std::string Utf8ToCp1251(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t code = 0;
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07;
        } else {
            out += '?';
            ++i;
            continue;
        }
        if (i + extra >= n) {
            // Truncated sequence at the end of the text.
            out += '?';
            break;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            code = (code << 6) | (cc & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        if (code != 0x0301 || !PutStressMark(out))
            out += UnicodeToCp1251(code);
        i += extra + 1;
    }
    return out;
}

namespace {

// How many bytes making every line end CR LF adds: one for each LF without a CR before it
// and one for each CR without an LF after it.
size_t CrLfGrowth(std::string_view text) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    size_t growth = 0;
    for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p)
        growth += p == begin || p[-1] != '\r';
    for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\r', end - p))); ++p)
        growth += p + 1 == end || p[1] != '\n';
    return growth;
}

// Widens the first `length` bytes of the buffer, which has room for `growth` more, from the
// back, so that nothing is overwritten before it is read.
void ExpandLineEnds(char* buffer, size_t length, size_t growth) {
    size_t r = length, w = length + growth;
    while (r > 0 && w > r) {
        const char c = buffer[--r];
        if (c == '\n' || c == '\r') {
            if (c == '\n' && r > 0 && buffer[r - 1] == '\r')
                --r;
            buffer[--w] = '\n';
            buffer[--w] = '\r';
        } else {
            buffer[--w] = c;
        }
    }
}

} // namespace

std::string ToCrLf(std::string_view text) {
    const size_t growth = CrLfGrowth(text);
    std::string out;
    out.reserve(text.size() + growth);
    out.assign(text);
    if (growth) {
        out.resize(text.size() + growth);
        ExpandLineEnds(out.data(), text.size(), growth);
    }
    return out;
}

void ToCrLfInPlace(std::string& text) {
    const size_t growth = CrLfGrowth(text);
    if (!growth)
        return;
    const size_t length = text.size();
    text.resize(length + growth);
    ExpandLineEnds(text.data(), length, growth);
}

} // namespace vocalix::base
