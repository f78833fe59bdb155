#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vocalix::textprep {

// Raised for an expression the engine rejects and for a match that runs past the engine's
// limits (catastrophic backtracking); the rule routines skip the rule on it.
struct RegExprError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The options of one engine object, named after their one-letter modifiers. The defaults are
// the engine's own (R and S on), so a caller that "leaves them on" does nothing.
struct RegExprOptions {
    bool ignoreCase = false;   // I
    bool russianRanges = true; // R: 'а-я' also covers ё, 'А-Я' also Ё
    bool dotAll = true;        // S: "." also matches CR and LF
    bool greedy = true;        // G: off makes every repetition lazy by default
    bool multiLine = false;    // M: "^" and "$" at every line start and end
    bool extended = false;     // X: white space and #-comments in the pattern are ignored
    bool operator==(const RegExprOptions&) const = default;
};

// Groups numbered above this give nothing in a replacement.
constexpr int kMaxReplacementGroup = 14;

// A Perl-style regular expression over Windows-1251 text: Cyrillic letters are letters and
// word characters, and caseless matching pairs А–Я with а–я and Ё with ё. Line separators are
// CR and LF. Every match runs under match, depth and heap limits.
class RegExpr {
public:
    RegExpr();
    ~RegExpr();
    RegExpr(const RegExpr&) = delete;
    RegExpr& operator=(const RegExpr&) = delete;

    RegExprOptions options;

    // Replaces the expression; it is compiled on first use with the options then in force.
    void SetExpression(std::string_view expression);
    const std::string& Expression() const { return m_expression; }

    // Compiles the expression now (it is otherwise compiled on first use). Throws RegExprError.
    void Compile();

    // True when the expression matches somewhere in the subject. Throws RegExprError.
    bool Exec(std::string_view subject);

    // Every non-overlapping match replaced at once. With substitute the replacement is a
    // template ($&, $n, ${n}, backslash escapes); otherwise it is inserted as it stands.
    // Throws RegExprError, leaving nothing half replaced, also when the result would grow
    // beyond limit bytes (0: MaxReplaceResult of the subject).
    std::string Replace(std::string_view subject, std::string_view replacement,
                        bool substitute = true, size_t limit = 0);

    // Start and length of group n of the last successful Exec (0 = whole match); npos when
    // the group did not take part.
    size_t MatchPos(int n) const;
    size_t MatchLen(int n) const;

private:
    struct Impl;
    // Runs one match from start; false when there is none. Throws on limits.
    bool MatchAt(std::string_view subject, size_t start);

    std::string m_expression;
    std::unique_ptr<Impl> m_impl;
};

// The largest text one replacement may give for a subject of this size: 64 times the
// subject, and at least 64 KB. A rule that would grow a fragment further is treated as failing,
// so a rule like "(.)=$1$1$1..." cannot eat all memory while the other rules still apply. A
// chain of rules keeps to the limit of the text it started from, or each rule could multiply
// what the one before it left.
size_t MaxReplaceResult(size_t subjectSize);

// Expands a replacement template for one match. ovector holds start/end pairs of
// groupCount groups (group 0 included) as the engine reports them. Throws RegExprError when
// the groups would take the result past limit bytes.
std::string SubstituteTemplate(std::string_view replacement, std::string_view subject,
                               const size_t* ovector, int groupCount, size_t limit = SIZE_MAX);

// Rewrites every "$" followed by exactly two digits d1 d2 into "${d1}d2", so that "$12" always
// means group 1 followed by the digit 2.
std::string ProtectGroupReferences(std::string_view replacement);

// Rewrites the ranges 'а-я' and 'А-Я' inside character classes to take in ё and Ё.
std::string RussianRanges(std::string_view pattern);

// The Windows-1251 character tables handed to the engine (exposed for tests).
const unsigned char* Cp1251RegexTables();

} // namespace vocalix::textprep
