#include "documents/CodePages.h"

#include "base/Cp1251.h"

#include <array>
#include <cstring>

namespace vocalix::documents {
namespace {

// Code page 866, bytes 128 to 255, as Unicode. Box-drawing characters have no Windows-1251
// counterpart and end up as "?" anyway, so they are listed only as far as needed.
constexpr std::array<char16_t, 128> kCp866High = {
    // 0x80-0x9F: А..Я
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B,
    0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    // 0xA0-0xAF: а..п
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F,
    // 0xB0-0xDF: pseudographics
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    // 0xE0-0xEF: р..я
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F,
    // 0xF0-0xFF
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E, 0x00B0, 0x2219, 0x00B7, 0x221A,
    0x2116, 0x00A4, 0x25A0, 0x00A0};

struct ByteTable {
    std::array<char, 256> map;
};

const ByteTable& DosTable() {
    static const ByteTable table = [] {
        ByteTable t{};
        for (int i = 0; i < 128; ++i)
            t.map[i] = static_cast<char>(i);
        for (int i = 0; i < 128; ++i)
            t.map[128 + i] = base::UnicodeToCp1251(kCp866High[i]);
        return t;
    }();
    return table;
}

const ByteTable& KoiTable() {
    static const ByteTable table = [] {
        ByteTable t{};
        for (int i = 0; i < 256; ++i)
            t.map[i] = static_cast<char>(i);
        // KOI8 letters 192..255 in their order, as Windows-1251 bytes.
        const std::string letters =
            base::Cp("юабцдефгхийклмнопярстужвьызшэщчъЮАБЦДЕФГХИЙКЛМНОПЯРСТУЖВЬЫЗШЭЩЧЪ");
        for (int i = 0; i < 64; ++i)
            t.map[192 + i] = letters[i];
        const std::pair<int, int> extra[] = {
            {163, 184},
            {179, 168},
            {164, 186},
            {180, 170},
            {167, 191},
            {183, 175},
            {156, 176},
            {158, 183},
            {176, 156},
            // The no-break space and the copyright sign keep their meaning.
            {154, 160},
            {191, 169}};
        for (auto [from, to] : extra)
            t.map[from] = static_cast<char>(to);
        return t;
    }();
    return table;
}

void MapBytes(std::string& text, const ByteTable& table) {
    for (char& c : text)
        c = table.map[static_cast<unsigned char>(c)];
}

// Halves go to the even neighbour, as the sample's midpoint is defined.
std::size_t HalfRoundedToEven(std::size_t length) {
    const std::size_t half = length / 2;
    if (length % 2 == 0)
        return half;
    return half % 2 == 0 ? half : half + 1;
}

// 1-based substring that tolerates positions outside the text.
std::string_view Copy(std::string_view text, long long position, std::size_t count) {
    if (position < 1)
        position = 1;
    const auto start = static_cast<std::size_t>(position - 1);
    if (start >= text.size())
        return {};
    return text.substr(start, count);
}

bool ContainsLowerAscii(std::string_view haystack, std::string_view needle) {
    if (needle.size() > haystack.size())
        return false;
    for (std::size_t i = 0; i + needle.size() <= haystack.size(); ++i) {
        std::size_t k = 0;
        for (; k < needle.size(); ++k) {
            char c = haystack[i + k];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            if (c != needle[k])
                break;
        }
        if (k == needle.size())
            return true;
    }
    return false;
}

// "charset=utf-8" followed by what ends an unquoted attribute value or a header parameter.
bool DeclaresUnquotedUtf8(std::string_view head) {
    static constexpr std::string_view kMark = "charset=utf-8";
    for (std::size_t from = 0; from + kMark.size() <= head.size(); ++from) {
        if (!ContainsLowerAscii(head.substr(from, kMark.size()), kMark))
            continue;
        const std::size_t end = from + kMark.size();
        if (end == head.size() ||
            std::string_view("\"'>;/ \t\r\n").find(head[end]) != std::string_view::npos)
            return true;
    }
    return false;
}

} // namespace

std::string_view TrimControls(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32)
        --e;
    return text.substr(b, e - b);
}

std::string TextSample(std::string_view text, std::size_t n) {
    const std::size_t length = text.size();
    if (4 * n >= length)
        return std::string(text);
    const auto l = static_cast<long long>(length);
    const auto m = static_cast<long long>(HalfRoundedToEven(length));
    const auto nn = static_cast<long long>(n);
    std::string sample;
    sample.reserve(4 * n + 2);
    sample += Copy(text, 1, n);
    sample += ' ';
    sample += Copy(text, m - nn, 2 * n);
    sample += ' ';
    sample += Copy(text, l - nn, n);
    return sample;
}

bool IsDosText(std::string_view text) {
    const std::string sample = TextSample(TrimControls(text), 1024);
    std::size_t d = 0, w = 0;
    for (unsigned char c : sample) {
        if (c >= 128 && c <= 175)
            ++d;
        else if (c >= 196)
            ++w;
    }
    return w < d;
}

bool IsKoiText(std::string_view text) {
    const std::string sample = TextSample(TrimControls(text), 1024);
    std::size_t k = 0, w = 0;
    for (unsigned char c : sample) {
        if (c == 207 || c == 239)
            ++k;
        else if (c == 192 || c == 224)
            ++w;
    }
    return w + 1 < k;
}

bool IsUtf8Text(std::string_view text) {
    const std::string_view head = text.substr(0, 1024);
    for (const char* mark :
         {"encoding=\"utf-8\"", "encoding='utf-8'", "charset=\"utf-8\"", "charset='utf-8'"})
        if (ContainsLowerAscii(head, mark))
            return true;
    if (DeclaresUnquotedUtf8(head))
        return true;
    const std::string sample = TextSample(TrimControls(text), 2048);
    std::size_t a = 0, b = 0, c = 0;
    for (unsigned char ch : sample) {
        if (ch == 208)
            ++a;
        else if (ch == 209)
            ++b;
        else if (ch == 190)
            ++c;
    }
    const std::size_t l = sample.size();
    return l < 5 * a && l < 13 * b && l < 33 * c;
}

std::string KoiToWin(std::string_view text) {
    std::string out(text);
    MapBytes(out, KoiTable());
    return out;
}

std::string DosToWin(std::string_view text) {
    std::string out(text);
    MapBytes(out, DosTable());
    return out;
}

namespace {

// The Windows-1251 byte of a character, or -1 for one that vanishes; see AppendAsWin.
int WinByte(char32_t code) {
    if (code >= 0x0410 && code <= 0x044F) // А..я, most of a Russian text
        return static_cast<int>(0xC0 + (code - 0x0410));
    if (code == 0xFEFF || (code >= 0x0300 && code <= 0x036F))
        return -1;
    return static_cast<unsigned char>(base::UnicodeToCp1251(code));
}

// The byte of one complete sequence, or -1 for none; see Utf8SeqToWin.
int SequenceByte(std::string_view sequence) {
    if (sequence.empty())
        return -1;
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (lead < 0x80)
        return lead;
    // Continuation bytes are taken unchecked by the caller, so anything malformed is one
    // replacement character, as the platform converter gives.
    const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (expected == 0 || lead >= 0xF8 || sequence.size() != expected)
        return '?';
    char32_t code = lead & (0x7F >> expected);
    for (std::size_t i = 1; i < expected; ++i) {
        const auto c = static_cast<unsigned char>(sequence[i]);
        if ((c & 0xC0) != 0x80)
            return '?';
        code = (code << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are malformed.
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kMin[expected] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return '?';
    return WinByte(code);
}

} // namespace

void AppendAsWin(std::string& out, char32_t code) {
    // The stress accent, which Windows-1251 lacks, becomes "+" before its vowel.
    if (code == 0x0301 && base::PutStressMark(out))
        return;
    if (const int byte = WinByte(code); byte >= 0)
        out += static_cast<char>(byte);
}

std::string Utf8SeqToWin(std::string_view sequence) {
    const int byte = SequenceByte(sequence);
    return byte < 0 ? std::string() : std::string(1, static_cast<char>(byte));
}

std::string Utf8ToWin(std::string_view text) {
    std::string out(text);
    Utf8ToWinInPlace(out);
    return out;
}

void Utf8ToWinInPlace(std::string& text) {
    // Every sequence gives at most one byte, so the output never overtakes the input. Byte by
    // byte: in Russian text the runs between two-byte letters are too short for block copies.
    auto* const p = reinterpret_cast<unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0, w = 0;
    while (i < n) {
        const unsigned c = p[i];
        // А..я (D0 90..BF, D1 80..8F) with one well-predicted branch: the letters of a word
        // change between the two lead bytes at random.
        if ((c & 0xFE) == 0xD0 && i + 1 < n) {
            const unsigned d = p[i + 1];
            const unsigned code = 0x400 | (c & 1) << 6 | (d & 0x3F);
            if ((d & 0xC0) == 0x80 && code - 0x410 < 0x40) {
                p[w++] = static_cast<unsigned char>(code - 0x410 + 0xC0);
                i += 2;
                continue;
            }
        }
        if (c < 192) { // ASCII, or a stray continuation byte copied as it is
            p[w++] = static_cast<unsigned char>(c);
            ++i;
            continue;
        }
        const std::size_t length = c < 224 ? 2 : c < 240 ? 3 : c < 248 ? 4 : c < 252 ? 5 : 6;
        if (i + length > n)
            break; // cut short by the end of the text
        if (c == 0xCC && p[i + 1] == 0x81) {
            // The stress accent becomes "+" before its vowel: its two bytes leave room.
            if (w > 0 && base::IsCyrillicVowel(static_cast<char>(p[w - 1])) &&
                (w < 2 || p[w - 2] != '+')) {
                p[w] = p[w - 1];
                p[w - 1] = '+';
                ++w;
            }
            i += 2;
            continue;
        }
        const int byte = SequenceByte(std::string_view(text).substr(i, length));
        if (byte >= 0)
            p[w++] = static_cast<unsigned char>(byte);
        i += length;
    }
    text.resize(w);
}

bool HasUtf16Mark(std::string_view bytes) {
    return bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                 (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}

std::string Utf16ToWin(std::string_view bytes) {
    if (!HasUtf16Mark(bytes))
        return std::string(bytes);
    const bool little = bytes[0] == '\xFF';
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return little ? (b << 8 | a) : (a << 8 | b);
    };
    std::string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        char32_t code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (code >= 0xD800 && code <= 0xDFFF)
            out += '?';
        else
            AppendAsWin(out, code);
    }
    return out;
}

bool IsValidMultibyteUtf8(std::string_view text) {
    bool multibyte = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (length == 0 || c > 0xF4 || i + length > text.size())
            return false;
        char32_t code = c & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kMin[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        multibyte = true;
        i += length;
    }
    return multibyte;
}

namespace {

// Valid UTF-8 throughout, holding a two-byte character (a Russian letter, a guillemet, a
// no-break space) or a general punctuation mark (a dash, a curly quote, an ellipsis). The byte
// statistics of the DOS and KOI8 detectors take such a text for theirs when it is mostly Latin
// with dashes and quotes. A real DOS or KOI8 text is practically never valid UTF-8; the rare
// short one that is (DOS words such as "сад" read as three-byte sequences) holds neither.
bool IsUnmistakableUtf8(std::string_view text) {
    if (!IsValidMultibyteUtf8(text))
        return false;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if ((c >= 0xC2 && c <= 0xDF) || (c == 0xE2 && (next == 0x80 || next == 0x81)))
            return true;
    }
    return false;
}

// Windows-1251 typography whose bytes lie where DOS keeps its capitals and "а" to "п": „ … ‘ ’
// “ ” • – — ™, the no-break space, § and «.
bool IsWindowsTypographyByte(unsigned char c) {
    return c == 0x84 || c == 0x85 || (c >= 0x91 && c <= 0x97) || c == 0x99 || c == 0xA0 ||
           c == 0xA7 || c == 0xAB;
}

// True when every byte 128 to 175 of the text is such a mark. The DOS statistics take a Windows
// text with dashes and quotes but few Russian letters (an English text saved by this program)
// for theirs; a real DOS text never gets far without "е", "и", "о" or "н", which lie in that
// range too.
bool HoldsOnlyWindowsTypography(std::string_view text) {
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 128 && c <= 175 && !IsWindowsTypographyByte(c))
            return false;
    }
    return true;
}

} // namespace

CodePageRepair RepairCodePage(std::string& text) {
    const bool dos = IsDosText(text) && !HoldsOnlyWindowsTypography(text);
    const bool koi = !dos && IsKoiText(text);
    if ((dos || koi) && !IsUnmistakableUtf8(text)) {
        MapBytes(text, dos ? DosTable() : KoiTable());
        return dos ? CodePageRepair::Dos : CodePageRepair::Koi;
    }
    if (dos || koi || IsUtf8Text(text) || IsValidMultibyteUtf8(text)) {
        Utf8ToWinInPlace(text);
        return CodePageRepair::Utf8;
    }
    return CodePageRepair::None;
}

} // namespace vocalix::documents
