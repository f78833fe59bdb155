#include "documents/RtfReader.h"

#include "base/Cp1251.h"
#include "documents/CodePages.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace vocalix::documents {
namespace {

// Windows-1252, bytes 128 to 159 (the rest of the upper half is Latin-1).
constexpr std::array<char16_t, 32> kCp1252Specials = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Destinations whose content a rich-text control does not show.
bool IsSkippedDestination(std::string_view word) {
    static constexpr std::string_view kSkipped[] = {
        "fonttbl",      "colortbl",  "stylesheet",
        "info",         "pict",      "header",
        "headerl",      "headerr",   "headerf",
        "footer",       "footerl",   "footerr",
        "footerf",      "listtable", "listoverridetable",
        "revtbl",       "rsidtbl",   "generator",
        "xmlnstbl",     "themedata", "colorschememapping",
        "latentstyles", "datastore", "fldinst",
        "objdata",      "shpinst",   "nonshppict",
        "filetbl",      "pgdsctbl",  "userprops",
        "xe",           "tc",        "private"};
    return std::find(std::begin(kSkipped), std::end(kSkipped), word) != std::end(kSkipped);
}

struct GroupState {
    bool skip = false;
    bool fontTable = false; // inside the font table, where \f defines a font
    int unicodeSkip = 1;    // \ucN: characters that stand in for each \uN
    int codePage = 1251;    // of the current font
};

class Reader {
public:
    explicit Reader(std::string_view rtf) : m_rtf(rtf) {}

    std::string Run() {
        m_out.reserve(m_rtf.size() / 3);
        m_stack.push_back(GroupState{});
        std::size_t i = 0;
        const std::size_t n = m_rtf.size();
        while (i < n) {
            const char c = m_rtf[i];
            if (c == '{') {
                m_stack.push_back(m_stack.back());
                m_pendingSkip = 0;
                m_groupStart = true;
                ++i;
                continue;
            }
            if (c == '}') {
                if (m_stack.size() > 1)
                    m_stack.pop_back();
                m_pendingSkip = 0;
                m_groupStart = false;
                ++i;
                continue;
            }
            if (c == '\\') {
                i = ControlWord(i);
                continue;
            }
            m_groupStart = false;
            ++i;
            if (c == '\r' || c == '\n')
                continue;
            if (ConsumePendingSkip())
                continue;
            if (c == '\t')
                Text("\t");
            else
                Byte(static_cast<unsigned char>(c));
        }
        return std::move(m_out);
    }

private:
    GroupState& State() { return m_stack.back(); }

    bool ConsumePendingSkip() {
        if (m_pendingSkip <= 0)
            return false;
        --m_pendingSkip;
        return true;
    }

    void Text(std::string_view s) {
        if (!State().skip)
            m_out += s;
    }

    void Unicode(char32_t code) {
        if (State().skip)
            return;
        AppendAsWin(m_out, code);
    }

    void Byte(unsigned char b) {
        if (State().skip)
            return;
        if (b < 128 || State().codePage == 1251) {
            m_out += static_cast<char>(b);
            return;
        }
        if (State().codePage == 866) {
            m_out += DosToWin(std::string(1, static_cast<char>(b)));
            return;
        }
        // Other single-byte pages are read as Windows-1252, the page of Western fonts.
        const char32_t code = b < 160 ? char32_t(kCp1252Specials[b - 128]) : char32_t(b);
        Unicode(code);
    }

    int CodePageOfCharset(int charset) const {
        switch (charset) {
        case 204:
            return 1251;
        case 0:
        case 1:
        case 2:
            return m_docCodePage;
        case 255:
            return 866;
        default:
            return 1252;
        }
    }

    // Parses the control word or symbol at i (a backslash) and returns the position after it.
    std::size_t ControlWord(std::size_t i) {
        const std::size_t n = m_rtf.size();
        const bool groupStart = m_groupStart;
        m_groupStart = false;
        ++i;
        if (i >= n)
            return i;
        const char c = m_rtf[i];
        if (!IsLetter(c)) {
            ++i;
            if (c == '\'') {
                int value = 0, digits = 0;
                while (digits < 2 && i < n && HexValue(m_rtf[i]) >= 0) {
                    value = value * 16 + HexValue(m_rtf[i]);
                    ++i;
                    ++digits;
                }
                if (ConsumePendingSkip() || digits < 2)
                    return i;
                Byte(static_cast<unsigned char>(value));
                return i;
            }
            if (c == '*') {
                State().skip = true;
                return i;
            }
            if (ConsumePendingSkip())
                return i;
            switch (c) {
            case '\\':
            case '{':
            case '}':
                Text(std::string_view(&c, 1));
                break;
            case '~':
                Text("\xA0");
                break;
            case '_':
                Text("-");
                break;
            case '\r':
            case '\n':
                Text("\r\n"); // an escaped line end is a paragraph mark
                break;
            case '\t':
                Text("\t");
                break;
            default:
                break; // \- optional hyphen, \| and the rest show nothing
            }
            return i;
        }
        const std::size_t wordStart = i;
        while (i < n && IsLetter(m_rtf[i]))
            ++i;
        const std::string_view word = m_rtf.substr(wordStart, i - wordStart);
        bool hasValue = false, negative = false;
        long long value = 0;
        if (i < n && m_rtf[i] == '-' && i + 1 < n && IsDigit(m_rtf[i + 1])) {
            negative = true;
            ++i;
        }
        std::size_t digits = 0;
        while (i < n && IsDigit(m_rtf[i])) {
            if (digits < 10)
                value = value * 10 + (m_rtf[i] - '0');
            ++digits;
            ++i;
            hasValue = true;
        }
        if (negative)
            value = -value;
        if (i < n && m_rtf[i] == ' ')
            ++i;
        const int number = static_cast<int>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));

        if (word == "bin") {
            // Binary data follows; its length counts as one character of a \u fallback.
            const std::size_t skip = hasValue && value > 0 ? static_cast<std::size_t>(value) : 0;
            ConsumePendingSkip();
            return std::min(n, i + skip);
        }
        if (word == "u" && hasValue) {
            if (ConsumePendingSkip())
                return i;
            UnicodeChar(number);
            m_pendingSkip = State().unicodeSkip;
            return i;
        }
        if (ConsumePendingSkip())
            return i;
        if (groupStart && IsSkippedDestination(word)) {
            State().skip = true;
            if (word == "fonttbl")
                State().fontTable = true;
            return i;
        }
        Apply(word, hasValue, number);
        return i;
    }

    void UnicodeChar(int number) {
        char32_t code = number < 0 ? char32_t(number + 65536) : char32_t(number);
        if (code >= 0xD800 && code <= 0xDBFF) {
            m_highSurrogate = true;
            return;
        }
        if (code >= 0xDC00 && code <= 0xDFFF) {
            // The character outside the basic plane is one character the code page lacks.
            if (m_highSurrogate)
                Unicode(0x1F600);
            m_highSurrogate = false;
            return;
        }
        m_highSurrogate = false;
        Unicode(code);
    }

    void Apply(std::string_view word, bool hasValue, int number) {
        if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "row") {
            Text("\r\n");
        } else if (word == "tab" || word == "cell" || word == "nestcell") {
            Text("\t");
        } else if (word == "emdash") {
            Text("\x97");
        } else if (word == "endash") {
            Text("\x96");
        } else if (word == "bullet") {
            Text("\x95");
        } else if (word == "lquote") {
            Text("\x91");
        } else if (word == "rquote") {
            Text("\x92");
        } else if (word == "ldblquote") {
            Text("\x93");
        } else if (word == "rdblquote") {
            Text("\x94");
        } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
            Text(" ");
        } else if (word == "uc" && hasValue) {
            State().unicodeSkip = std::clamp(number, 0, 16);
        } else if (word == "ansicpg" && hasValue) {
            m_docCodePage = number;
            State().codePage = number;
        } else if (word == "f" && hasValue) {
            if (InFontTable()) {
                m_fontBeingDefined = number;
            } else {
                const auto it = m_fontCodePages.find(number);
                State().codePage = it != m_fontCodePages.end() ? it->second : m_docCodePage;
            }
        } else if (word == "fcharset" && hasValue && InFontTable()) {
            m_fontCodePages[m_fontBeingDefined] = CodePageOfCharset(number);
        } else if (word == "cpg" && hasValue && InFontTable()) {
            m_fontCodePages[m_fontBeingDefined] = number;
        }
    }

    bool InFontTable() const { return m_stack.back().fontTable; }

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static int HexValue(char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    std::string_view m_rtf;
    std::string m_out;
    std::vector<GroupState> m_stack;
    std::map<int, int> m_fontCodePages;
    int m_docCodePage = 1251;
    int m_fontBeingDefined = 0;
    int m_pendingSkip = 0;
    bool m_groupStart = false;
    bool m_highSurrogate = false;
};

} // namespace

std::string RtfToText(std::string_view rtf) {
    if (rtf.substr(0, 5) != "{\\rtf")
        return std::string(rtf);
    return Reader(rtf).Run();
}

} // namespace vocalix::documents
