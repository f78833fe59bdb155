#include "tools/LitFormat.h"

#include "textprep/WordList.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <vector>

namespace vocalix::tools {
namespace {

namespace tp = vocalix::textprep;

constexpr std::string_view kCrLf = "\r\n";

// Pieces between CR LF pairs; n breaks give n + 1 pieces, so joining them back is lossless.
std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(kCrLf, start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            return lines;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
}

std::string JoinLines(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += kCrLf;
        out += lines[i];
    }
    return out;
}

// Words between single spaces, empty pieces dropped and long words kept.
std::vector<std::string> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start < line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string_view::npos)
            end = line.size();
        if (end > start)
            words.emplace_back(line.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

size_t LeadingSpaces(std::string_view line) {
    size_t n = 0;
    while (n < line.size() && line[n] == ' ')
        ++n;
    return n;
}

// Steps of a pass that runs over `total` items report every kProgressEvery items.
void StepEvery(const ProgressHooks& hooks, size_t done) {
    if (done % kProgressEvery == 0)
        hooks.Step(done);
}

} // namespace

RandomIndex DefaultRandomIndex() {
    return SeededRandomIndex(
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
}

RandomIndex SeededRandomIndex(unsigned seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(*engine); };
}

std::string NormaliseTypography(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        switch (static_cast<unsigned char>(c)) {
        case '\t':
            out += "    ";
            break;
        case 0x97: // em dash
        case 0x96: // en dash
            out += '-';
            break;
        case 0xA0: // no-break space
            out += ' ';
            break;
        case 0x84: // low double quote
        case 0x93: // left double quote
        case 0xAB: // guillemets
        case 0xBB:
            out += '"';
            break;
        case 0x85: // ellipsis
            out += "...";
            break;
        case 0xA9: // copyright sign
            out += "(c)";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string FormatLiteraryText(std::string_view text, const LitTextSettings& settings,
                               const RandomIndex& random, const ProgressHooks& hooks) {
    // The preferences take any digits: an indent or width of a billion would make every line
    // gigabytes long, so both stop at kMaxLayoutWidth.
    const int paragSetting = std::clamp(settings.Parag, 0, kMaxLayoutWidth);
    const int maxLenSetting = std::clamp(settings.MaxLen, 0, kMaxLayoutWidth);
    const size_t parag = static_cast<size_t>(paragSetting);
    const std::string indent(parag, ' ');

    // Common indentation: what every non-empty line starts with goes, then dialogue lines
    // and over-long lines get the paragraph indent.
    std::vector<std::string> lines = SplitLines(NormaliseTypography(text));
    hooks.Max(lines.size() * 2);
    size_t common = 999;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].empty())
            common = std::min(common, LeadingSpaces(lines[i]));
        StepEvery(hooks, i);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string& line = lines[i];
        if (!line.empty()) {
            line.erase(0, std::min(common, line.size()));
            const bool dash = !line.empty() && (line[0] == '-' || line[0] == '\x96');
            if (dash || line.size() > static_cast<size_t>(std::max(0, settings.MaxHugeLen)))
                line.insert(0, indent);
        }
        StepEvery(hooks, lines.size() + i);
    }

    // Re-wrapping token by token.
    const tp::WordList tokens = tp::TextToWordListKeepingLongTokens(JoinLines(lines));
    lines.clear();
    hooks.Max(tokens.size());
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    size_t column = 0;
    int emptyRun = 0;
    const size_t maxLen = static_cast<size_t>(maxLenSetting);
    for (size_t a = 0; a < tokens.size(); ++a) {
        const std::string& w = tokens[a];
        if (w == tp::kEmptyLineMarker) {
            column = 0;
            if (emptyRun < 2) {
                if (a > 1)
                    result += kCrLf;
                ++emptyRun;
            }
        } else if (w == tp::kIndentMarker) {
            result += kCrLf;
            result += indent;
            column = parag;
        } else {
            emptyRun = 0;
            if (a > 1 && tokens[a - 1] == tp::kEmptyLineMarker)
                result += kCrLf;
            if (maxLen == 0 || w.size() + column + 1 <= maxLen) {
                column += w.size() + 1;
            } else {
                result += kCrLf;
                column = w.size() + 1;
            }
            result += w;
            result += ' ';
        }
        StepEvery(hooks, a);
    }

    if (!settings.RightJustify || maxLenSetting <= paragSetting)
        return result;
    // A line is padded only when the paragraph goes on below it.
    lines = SplitLines(result);
    hooks.Max(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& next = i + 1 < lines.size() ? lines[i + 1] : std::string();
        std::string& line = lines[i];
        if (!line.empty() && !next.empty() && next[0] != ' ') {
            if (line[0] == ' ')
                line = indent + JustifyLine(std::string_view(line).substr(LeadingSpaces(line)),
                                            maxLenSetting - paragSetting, random);
            else
                line = JustifyLine(line, maxLenSetting, random);
        }
        StepEvery(hooks, i);
    }
    return JoinLines(lines);
}

std::string JustifyLine(std::string_view line, int width, const RandomIndex& random) {
    std::vector<std::string> words = SplitWords(line);
    if (words.empty())
        return {};
    size_t total = 0;
    for (size_t i = 0; i < words.size(); ++i) {
        if (i + 1 < words.size())
            words[i] += ' ';
        total += words[i].size();
    }
    // The words that may take a space; a lone dash never does, and without any other word
    // the line stays as it is.
    std::vector<size_t> candidates;
    const size_t last = words.size() == 1 ? 1 : words.size() - 1;
    for (size_t i = 0; i < last; ++i)
        if (words[i] != "- ")
            candidates.push_back(i);
    if (!candidates.empty() && width > 0)
        for (size_t added = total; added < static_cast<size_t>(width); ++added)
            words[candidates[random(candidates.size())]] += ' ';
    std::string out;
    for (const auto& w : words)
        out += w;
    return out;
}

namespace {

// Right: a space after every line break and in front unless the piece starts with one.
std::string ShiftRight(std::string_view piece) {
    std::string out;
    out.reserve(piece.size() + piece.size() / 32 + 1);
    if (piece.empty() || (piece[0] != '\r' && piece[0] != '\n'))
        out += ' ';
    size_t start = 0;
    for (;;) {
        const size_t at = piece.find(kCrLf, start);
        if (at == std::string_view::npos)
            break;
        out.append(piece.substr(start, at + 2 - start));
        out += ' ';
        start = at + 2;
    }
    out.append(piece.substr(start));
    return out;
}

// Left: the space after every line break goes.
std::string ShiftLeft(std::string_view piece) {
    std::string out;
    out.reserve(piece.size());
    size_t start = 0;
    for (;;) {
        const size_t at = piece.find("\r\n ", start);
        if (at == std::string_view::npos)
            break;
        out.append(piece.substr(start, at + 2 - start));
        start = at + 3;
    }
    out.append(piece.substr(start));
    return out;
}

} // namespace

ShiftResult TextHorizontalMove(std::string_view text, int selStart, int selLength, int direction) {
    ShiftResult r;
    if (selLength <= 0) {
        if (direction > 0) {
            r.text = ShiftRight(text);
            // An empty text has no line to shift.
            if (text.empty())
                r.text.clear();
        } else {
            r.text = ShiftLeft(text);
            if (!r.text.empty() && r.text[0] == ' ')
                r.text.erase(0, 1);
        }
        return r;
    }
    const long long size = static_cast<long long>(text.size());
    const long long s = std::clamp<long long>(selStart, 0, size);
    const long long n = std::clamp<long long>(selLength, 0, size - s);
    // 1-based positions: the block starts at the character before the selection, or at the CR
    // of the line break before it, and ends before the last selected character.
    long long b = s;
    if (s == 0)
        b = 1;
    else if (text[static_cast<size_t>(s - 1)] == '\n' && s >= 2)
        b = s - 1;
    const long long e = s + n - 1;
    const size_t bodyStart = static_cast<size_t>(b - 1);
    const size_t bodyLength = e >= b ? static_cast<size_t>(e - b + 1) : 0;
    const std::string_view head = text.substr(0, bodyStart);
    const std::string_view body = text.substr(bodyStart, bodyLength);
    const std::string_view tail = text.substr(bodyStart + bodyLength);
    long long count = 0;
    for (size_t i = 1; i < body.size(); ++i)
        count += body[i] == '\r';
    std::string shifted;
    if (direction > 0)
        shifted = bodyLength == 0 && s == 0 ? std::string(" ") : ShiftRight(body);
    else
        shifted = ShiftLeft(body);
    r.text.reserve(head.size() + shifted.size() + tail.size());
    r.text.append(head).append(shifted).append(tail);
    r.setSelection = true;
    if (s == 0) {
        // From the very start the selection keeps its start and grows or shrinks by what
        // the shift added or removed.
        r.selStart = 0;
        r.selLength = static_cast<int>(n + static_cast<long long>(shifted.size()) -
                                       static_cast<long long>(body.size()));
    } else {
        r.selStart = static_cast<int>(b + 1);
        r.selLength =
            static_cast<int>(std::max(0LL, direction > 0 ? e - b + count : e - b - count));
    }
    return r;
}

} // namespace vocalix::tools
