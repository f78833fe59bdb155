#include "textprep/CorrectionRules.h"

#include "base/Cp1251.h"
#include "textprep/Dictionaries.h"
#include "textprep/StringRoutines.h"

#include <algorithm>
#include <unordered_set>

namespace vocalix::textprep {
namespace {

constexpr std::string_view kNl = "\r\n";

std::vector<std::string> LoadRuleLines(const RulesSettings& settings) {
    std::vector<std::string> lines;
    LoadDictionaries(lines, settings.selection, kRulesExtension, settings.programDir);
    return lines;
}

// Replaces every match of one rule in the text; false (text untouched) when the engine
// rejects the rule or gives up on it.
bool ApplyRule(RegExpr& engine, const Rule& rule, std::string& text, bool onlyWhenMatched,
               bool* matched = nullptr) {
    try {
        engine.options.ignoreCase = !rule.caseSensitive;
        engine.SetExpression(rule.expression);
        if (onlyWhenMatched) {
            const bool found = engine.Exec(text);
            if (matched)
                *matched = found;
            if (!found)
                return true;
        }
        text = engine.Replace(text, rule.replacement);
        return true;
    } catch (const RegExprError&) {
        return false;
    }
}

RegExprOptions FilterOptions() {
    RegExprOptions o;
    o.russianRanges = false;
    o.dotAll = false;
    return o;
}

} // namespace

std::optional<Rule> ParseRule(std::string_view line) {
    std::optional<RuleLine> parsed = ParseRuleLine(line);
    if (!parsed || parsed->expression.empty()) // a lone "@" leaves no expression to match
        return std::nullopt;
    Rule rule;
    rule.line.assign(line);
    rule.expression = std::move(parsed->expression);
    rule.replacement = ProtectGroupReferences(parsed->replacement);
    rule.caseSensitive = parsed->matchCase;
    return rule;
}

void ApplyRuleLines(std::string& text, const std::vector<std::string>& lines,
                    const RegExprOptions& options, const RulesProgress& progress, long firstStep) {
    RegExpr engine;
    engine.options = options;
    for (size_t j = 0; j < lines.size(); ++j) {
        const std::optional<Rule> rule = ParseRule(lines[j]);
        if (!rule)
            continue;
        ApplyRule(engine, *rule, text, false);
        progress.Position(firstStep + static_cast<long>(j));
    }
}

std::string SelectionOfKind(std::string_view selection, std::string_view extension) {
    const std::string wanted = LowerCase(extension);
    std::string out;
    for (const std::string& name : SplitBy(selection, '+')) {
        if (LowerExtension(name) != wanted)
            continue;
        if (!out.empty())
            out += '+';
        out += name;
    }
    return out;
}

bool RulesActive(const RulesSettings& settings) {
    return !IsDictionaryFile(settings.currentFileName) &&
           settings.selection.find(".ini") != std::string::npos;
}

void RexFilter(std::string& text, const RulesSettings& settings, const RulesProgress& progress) {
    if (!RulesActive(settings))
        return;
    const std::vector<std::string> lines = LoadRuleLines(settings);
    progress.Range(static_cast<long>(lines.size()));
    ApplyRuleLines(text, lines, FilterOptions(), progress);
    progress.Range(0);
}

void RexFilterFull(std::string& text, const RulesSettings& settings, const FragmentSplitter& split,
                   const RulesProgress& progress) {
    if (!RulesActive(settings))
        return;
    const std::vector<std::string> lines = LoadRuleLines(settings);
    std::vector<std::string> fragments = split(text);
    progress.Range(static_cast<long>(fragments.size() * lines.size()));
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    const RegExprOptions options = FilterOptions();
    for (size_t f = 0; f < fragments.size(); ++f) {
        ApplyRuleLines(fragments[f], lines, options, progress, static_cast<long>(f * lines.size()));
        result += fragments[f];
    }
    text = std::move(result);
    progress.Range(0);
}

std::string LinesToText(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += kNl;
    }
    return out;
}

std::string RulesReport(std::string& text, bool full, const RulesSettings& settings,
                        const FragmentSplitter& split, const RulesProgress& progress) {
    if (IsDictionaryFile(settings.currentFileName))
        return {};
    std::string report;

    // Rules stage: every rule that finds a match in some fragment, listed once.
    const std::vector<std::string> lines = LoadRuleLines(settings);
    std::vector<Rule> rules;
    for (const std::string& line : lines)
        if (std::optional<Rule> rule = ParseRule(line))
            rules.push_back(std::move(*rule));
    std::vector<std::string> fragments = split(text);
    progress.Range(static_cast<long>(fragments.size() * rules.size()));
    RegExpr engine; // R and S stay on here
    std::unordered_set<std::string> listed;
    long usedRules = 0;
    std::string changed;
    changed.reserve(text.size());
    for (size_t f = 0; f < fragments.size(); ++f) {
        for (size_t r = 0; r < rules.size(); ++r) {
            progress.Position(static_cast<long>(f * rules.size() + r));
            bool matched = false;
            if (!ApplyRule(engine, rules[r], fragments[f], true, &matched) || !matched)
                continue;
            if (listed.insert(rules[r].line).second) {
                if (!report.empty())
                    report += kNl;
                report += rules[r].line;
                ++usedRules;
            }
        }
        changed += fragments[f];
    }
    text = std::move(changed);
    progress.Range(0);

    const std::string ruleFiles = SelectionOfKind(settings.selection, ".ini");
    if (full && !ruleFiles.empty())
        report = base::Cp("# Список замен по \"") + ruleFiles + base::Cp("\". Правил: ") +
                 std::to_string(usedRules) + std::string(kNl) + std::string(kNl) + report;

    // Entries stage: the pronunciation entries the filter would apply to the changed text.
    std::vector<std::string> used;
    if (settings.selection.find(".dic") != std::string::npos) {
        // Filled in with the pronunciation filter.
    }
    if (!report.empty())
        report += kNl;
    if (used.empty())
        return report;
    if (full && !ruleFiles.empty())
        report += kNl;
    return report + LinesToText(used);
}

} // namespace vocalix::textprep
