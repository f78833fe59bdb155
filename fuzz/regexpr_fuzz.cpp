// Rule lines from untrusted rule files: expression, replacement and subject all arbitrary.
// The engine must reject or stop, never crash, hang or read outside the strings.
#include "textprep/CorrectionRules.h"
#include "textprep/RegExpr.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // Layout: options byte, then "rule line" NUL "subject".
    if (input.empty())
        return 0;
    const unsigned char flags = static_cast<unsigned char>(input[0]);
    const std::string_view rest = input.substr(1);
    const size_t nul = rest.find('\0');
    const std::string_view line = rest.substr(0, nul);
    const std::string_view subject =
        nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);

    const auto rule = vocalix::textprep::ParseRule(line);
    if (!rule)
        return 0;
    vocalix::textprep::RegExpr re;
    re.options.ignoreCase = flags & 1;
    re.options.russianRanges = flags & 2;
    re.options.dotAll = flags & 4;
    re.options.greedy = flags & 8;
    re.options.multiLine = flags & 16;
    re.options.extended = flags & 32;
    re.SetExpression(rule->expression);
    try {
        if (re.Exec(subject))
            (void)re.Replace(subject, rule->replacement);
    } catch (const vocalix::textprep::RegExprError&) {
    }
    return 0;
}
