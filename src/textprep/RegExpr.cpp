#include "textprep/RegExpr.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace vocalix::textprep {
namespace {

// Layout of the engine's character tables: lower-case map, case-flip map, ten class bitmaps
// of 32 bytes (space, xdigit, digit, upper, lower, word, graph, print, punct, cntrl), and a
// per-character type byte. The engine documents only the format, not a header for it.
constexpr size_t kLccOffset = 0;
constexpr size_t kFccOffset = 256;
constexpr size_t kCbitsOffset = 512;
constexpr size_t kCbitSpace = 0, kCbitXdigit = 32, kCbitDigit = 64, kCbitUpper = 96,
                 kCbitLower = 128, kCbitWord = 160, kCbitGraph = 192, kCbitPrint = 224,
                 kCbitPunct = 256, kCbitCntrl = 288, kCbitLength = 320;
constexpr size_t kCtypesOffset = kCbitsOffset + kCbitLength;
constexpr size_t kTablesLength = kCtypesOffset + 256;
constexpr unsigned char kCtypeSpace = 0x01, kCtypeLetter = 0x02, kCtypeLcLetter = 0x04,
                        kCtypeDigit = 0x08, kCtypeWord = 0x10;

bool IsUpper(int c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF) || c == 0xA8;
}
bool IsLower(int c) {
    return (c >= 'a' && c <= 'z') || c >= 0xE0 || c == 0xB8;
}
bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}
// Space, tab, LF, CR and form feed; vertical tab is not a space here.
bool IsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

int ToLower(int c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF))
        return c + 0x20;
    return c == 0xA8 ? 0xB8 : c;
}
int ToUpper(int c) {
    if ((c >= 'a' && c <= 'z') || c >= 0xE0)
        return c - 0x20;
    return c == 0xB8 ? 0xA8 : c;
}

std::array<unsigned char, kTablesLength> BuildTables() {
    std::array<unsigned char, kTablesLength> t{};
    auto setBit = [&t](size_t bitmap, int c) {
        t[kCbitsOffset + bitmap + static_cast<size_t>(c) / 8] |=
            static_cast<unsigned char>(1u << (c & 7));
    };
    for (int c = 0; c < 256; ++c) {
        const bool upper = IsUpper(c), lower = IsLower(c), digit = IsDigit(c), space = IsSpace(c);
        const bool letter = upper || lower;
        const bool word = letter || digit || c == '_';
        // Controls, DEL, the unassigned 0x98 and the no-break space 0xA0 do not mark paper.
        const bool graph = c > 0x20 && c != 0x7F && c != 0x98 && c != 0xA0;
        const bool print = graph || c == 0x20 || c == 0xA0;
        const bool cntrl = c < 0x20 || c == 0x7F;
        t[kLccOffset + c] = static_cast<unsigned char>(ToLower(c));
        t[kFccOffset + c] = static_cast<unsigned char>(upper ? ToLower(c) : ToUpper(c));
        if (space)
            setBit(kCbitSpace, c);
        if (digit || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))
            setBit(kCbitXdigit, c);
        if (digit)
            setBit(kCbitDigit, c);
        if (upper)
            setBit(kCbitUpper, c);
        if (lower)
            setBit(kCbitLower, c);
        if (word)
            setBit(kCbitWord, c);
        if (graph)
            setBit(kCbitGraph, c);
        if (print)
            setBit(kCbitPrint, c);
        if (graph && !letter && !digit)
            setBit(kCbitPunct, c);
        if (cntrl)
            setBit(kCbitCntrl, c);
        unsigned char type = 0;
        if (space)
            type |= kCtypeSpace;
        if (letter)
            type |= kCtypeLetter;
        if (lower)
            type |= kCtypeLcLetter;
        if (digit)
            type |= kCtypeDigit;
        if (word)
            type |= kCtypeWord;
        t[kCtypesOffset + c] = type;
    }
    return t;
}

// Limits that stop a runaway rule (nested repetitions over a long line) within milliseconds
// while leaving ordinary rules over a whole book untouched.
constexpr uint32_t kMatchLimit = 5'000'000;
constexpr uint32_t kDepthLimit = 100'000;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;
constexpr size_t kJitStackMax = 4 * 1024 * 1024;

} // namespace

const unsigned char* Cp1251RegexTables() {
    static const std::array<unsigned char, kTablesLength> tables = BuildTables();
    return tables.data();
}

namespace {

// The limits and the JIT stack are the same for every expression, so one set per thread
// serves all engine objects (a rule set keeps hundreds of them compiled).
struct MatchResources {
    pcre2_match_context* matchContext = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    MatchResources() {
        matchContext = pcre2_match_context_create(nullptr);
        jitStack = pcre2_jit_stack_create(32 * 1024, kJitStackMax, nullptr);
        if (!matchContext || !jitStack)
            throw std::bad_alloc();
        pcre2_set_match_limit(matchContext, kMatchLimit);
        pcre2_set_depth_limit(matchContext, kDepthLimit);
        pcre2_set_heap_limit(matchContext, kHeapLimitKiB);
        pcre2_jit_stack_assign(matchContext, nullptr, jitStack);
    }
    ~MatchResources() {
        pcre2_jit_stack_free(jitStack);
        pcre2_match_context_free(matchContext);
    }
};

pcre2_match_context* SharedMatchContext() {
    thread_local MatchResources resources;
    return resources.matchContext;
}

pcre2_compile_context* SharedCompileContext() {
    struct Holder {
        pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
        Holder() {
            if (!context)
                throw std::bad_alloc();
            pcre2_set_character_tables(context, Cp1251RegexTables());
            pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
            pcre2_set_bsr(context, PCRE2_BSR_ANYCRLF);
        }
        ~Holder() { pcre2_compile_context_free(context); }
    };
    thread_local Holder holder;
    return holder.context;
}

} // namespace

struct RegExpr::Impl {
    pcre2_code* code = nullptr;
    pcre2_match_data* matchData = nullptr;
    bool compiled = false; // code is current for m_expression and compiledWith
    std::string compileError;
    RegExprOptions compiledWith;

    ~Impl() { ReleaseCode(); }
    void ReleaseCode() {
        pcre2_match_data_free(matchData);
        pcre2_code_free(code);
        matchData = nullptr;
        code = nullptr;
    }
};

RegExpr::RegExpr() : m_impl(std::make_unique<Impl>()) {}
RegExpr::~RegExpr() = default;

void RegExpr::SetExpression(std::string_view expression) {
    m_expression.assign(expression);
    m_impl->compiled = false;
}

void RegExpr::Compile() {
    Impl& d = *m_impl;
    if (d.compiled && d.compiledWith == options) {
        if (!d.code)
            throw RegExprError(d.compileError);
        return;
    }
    d.ReleaseCode();
    d.compiled = true;
    d.compiledWith = options;
    const std::string pattern = options.russianRanges ? RussianRanges(m_expression) : m_expression;
    uint32_t flags = PCRE2_NEVER_UTF | PCRE2_NEVER_UCP;
    if (options.ignoreCase)
        flags |= PCRE2_CASELESS;
    if (options.dotAll)
        flags |= PCRE2_DOTALL;
    if (!options.greedy)
        flags |= PCRE2_UNGREEDY;
    if (options.multiLine)
        flags |= PCRE2_MULTILINE;
    if (options.extended)
        flags |= PCRE2_EXTENDED;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    d.code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), flags,
                           &errorCode, &errorOffset, SharedCompileContext());
    if (!d.code) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(errorCode, message, sizeof message);
        d.compileError = reinterpret_cast<const char*>(message);
        throw RegExprError(d.compileError);
    }
    // Without JIT the interpreter still works under the same limits.
    pcre2_jit_compile(d.code, PCRE2_JIT_COMPLETE);
    d.matchData = pcre2_match_data_create_from_pattern(d.code, nullptr);
    if (!d.matchData)
        throw std::bad_alloc();
}

bool RegExpr::MatchAt(std::string_view subject, size_t start) {
    Impl& d = *m_impl;
    const int rc = pcre2_match(d.code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(),
                               start, 0, d.matchData, SharedMatchContext());
    if (rc == PCRE2_ERROR_NOMATCH)
        return false;
    if (rc < 0) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(rc, message, sizeof message);
        throw RegExprError(reinterpret_cast<const char*>(message));
    }
    return true;
}

bool RegExpr::Exec(std::string_view subject) {
    Compile();
    return MatchAt(subject, 0);
}

size_t RegExpr::MatchPos(int n) const {
    const Impl& d = *m_impl;
    if (!d.matchData || n < 0 || static_cast<uint32_t>(n) >= pcre2_get_ovector_count(d.matchData))
        return std::string_view::npos;
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(d.matchData);
    return ov[2 * n] == PCRE2_UNSET ? std::string_view::npos : ov[2 * n];
}

size_t RegExpr::MatchLen(int n) const {
    const size_t pos = MatchPos(n);
    if (pos == std::string_view::npos)
        return 0;
    return pcre2_get_ovector_pointer(m_impl->matchData)[2 * n + 1] - pos;
}

std::string RegExpr::Replace(std::string_view subject, std::string_view replacement,
                             bool substitute, size_t limit) {
    Compile();
    Impl& d = *m_impl;
    std::string result;
    result.reserve(subject.size());
    if (limit == 0)
        limit = MaxReplaceResult(subject.size());
    size_t start = 0; // where the next search begins; all before it is in result
    while (start <= subject.size() && MatchAt(subject, start)) {
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(d.matchData);
        const size_t matchStart = ov[0], matchEnd = ov[1];
        result.append(subject.substr(start, matchStart - start));
        if (substitute) {
            const int groups = static_cast<int>(pcre2_get_ovector_count(d.matchData));
            result += SubstituteTemplate(replacement, subject, ov, groups, limit - result.size());
        } else {
            result.append(replacement);
        }
        if (result.size() > limit)
            throw RegExprError("the replacement grows the text beyond its limit");
        if (matchEnd > matchStart) {
            start = matchEnd;
            continue;
        }
        // An empty match: step over one character so the search moves on.
        if (matchStart >= subject.size()) {
            start = subject.size() + 1;
            break;
        }
        result += subject[matchStart];
        start = matchStart + 1;
    }
    if (start < subject.size())
        result.append(subject.substr(start));
    return result;
}

size_t MaxReplaceResult(size_t subjectSize) {
    constexpr size_t kFloor = size_t{64} << 10;
    return std::max(kFloor, subjectSize > SIZE_MAX / 64 ? SIZE_MAX : subjectSize * 64);
}

std::string SubstituteTemplate(std::string_view replacement, std::string_view subject,
                               const size_t* ovector, int groupCount, size_t limit) {
    std::string out;
    auto appendGroup = [&](long n) {
        if (n < 0 || n > kMaxReplacementGroup || n >= groupCount)
            return;
        const size_t s = ovector[2 * n], e = ovector[2 * n + 1];
        if (s == PCRE2_UNSET || e < s || e > subject.size())
            return;
        if (e - s > limit - std::min(limit, out.size()))
            throw RegExprError("the replacement grows the text beyond its limit");
        out.append(subject.substr(s, e - s));
    };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const size_t n = replacement.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = replacement[i];
        if (c == '\\' && i + 1 < n) {
            out += replacement[++i];
            continue;
        }
        if (c != '$' || i + 1 >= n) {
            out += c;
            continue;
        }
        const char next = replacement[i + 1];
        if (next == '&') {
            appendGroup(0);
            ++i;
            continue;
        }
        size_t j = i + 1;
        const bool braced = next == '{';
        if (braced)
            ++j;
        const size_t digitsStart = j;
        long number = 0;
        while (j < n && isDigit(replacement[j])) {
            if (number <= kMaxReplacementGroup) // beyond that it gives nothing anyway
                number = number * 10 + (replacement[j] - '0');
            ++j;
        }
        if (j == digitsStart || (braced && (j >= n || replacement[j] != '}'))) {
            out += c; // a lone "$" is an ordinary character
            continue;
        }
        appendGroup(number);
        i = braced ? j : j - 1;
    }
    return out;
}

std::string ProtectGroupReferences(std::string_view replacement) {
    std::string out;
    out.reserve(replacement.size() + 8);
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    for (size_t i = 0; i < replacement.size(); ++i) {
        if (replacement[i] == '$' && i + 2 < replacement.size() && isDigit(replacement[i + 1]) &&
            isDigit(replacement[i + 2])) {
            out += "${";
            out += replacement[i + 1];
            out += '}';
            out += replacement[i + 2];
            i += 2;
            continue;
        }
        out += replacement[i];
    }
    return out;
}

std::string RussianRanges(std::string_view pattern) {
    constexpr char kSmallA = '\xE0', kSmallYa = '\xFF', kSmallYo = '\xB8';
    constexpr char kCapA = '\xC0', kCapYa = '\xDF', kCapYo = '\xA8';
    std::string out;
    out.reserve(pattern.size() + 4);
    bool inClass = false;
    size_t classStart = 0; // index just past "[" or "[^": a "]" there is literal
    const size_t n = pattern.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = pattern[i];
        if (c == '\\' && i + 1 < n) {
            out += c;
            out += pattern[++i];
            continue;
        }
        if (!inClass) {
            out += c;
            if (c == '[') {
                inClass = true;
                classStart = i + 1;
                if (classStart < n && pattern[classStart] == '^') {
                    out += '^';
                    ++i;
                    ++classStart;
                }
            }
            continue;
        }
        if (c == ']' && i != classStart) {
            inClass = false;
            out += c;
            continue;
        }
        if (c == '[' && i + 1 < n && pattern[i + 1] == ':') { // [:alpha:] inside a class
            const size_t close = pattern.find(":]", i + 2);
            if (close != std::string_view::npos) {
                out.append(pattern.substr(i, close + 2 - i));
                i = close + 1;
                continue;
            }
        }
        if (i + 2 < n && pattern[i + 1] == '-') {
            const char last = pattern[i + 2];
            if ((c == kSmallA && last == kSmallYa) || (c == kCapA && last == kCapYa)) {
                out += c;
                out += '-';
                out += last;
                out += c == kSmallA ? kSmallYo : kCapYo;
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace vocalix::textprep
