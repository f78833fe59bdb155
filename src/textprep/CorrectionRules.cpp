#include "textprep/CorrectionRules.h"

#include "base/Cp1251.h"
#include "textprep/Dictionaries.h"
#include "textprep/StringRoutines.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

namespace vocalix::textprep {
namespace {

constexpr std::string_view kNl = "\r\n";

// The rules of the selected files, each compiled once. Reading asks for them for every
// fragment, so the set is kept while the files stay the same (names, sizes, times).
struct CompiledRules {
    std::filesystem::path programDir;
    std::string selection;
    std::vector<DictionaryFileStamp> stamps;
    RegExprOptions options;
    size_t lineCount = 0;
    struct Entry {
        size_t lineIndex;
        Rule rule;
        std::unique_ptr<RegExpr> engine; // null when the engine rejects the expression
    };
    std::vector<Entry> entries;
};

const CompiledRules& RulesFor(const RulesSettings& settings, const RegExprOptions& options) {
    // Engines are not shared between threads: each thread keeps its own sets.
    thread_local std::vector<std::unique_ptr<CompiledRules>> cache;
    std::vector<DictionaryFileStamp> stamps =
        StampDictionaries(settings.selection, kRulesExtension, settings.programDir);
    for (const auto& c : cache)
        if (c->options == options && c->selection == settings.selection &&
            c->programDir == settings.programDir && c->stamps == stamps)
            return *c;
    auto set = std::make_unique<CompiledRules>();
    set->programDir = settings.programDir;
    set->selection = settings.selection;
    set->stamps = std::move(stamps);
    set->options = options;
    std::vector<std::string> lines;
    LoadDictionaries(lines, settings.selection, kRulesExtension, settings.programDir);
    set->lineCount = lines.size();
    for (size_t j = 0; j < lines.size(); ++j) {
        std::optional<Rule> rule = ParseRule(lines[j]);
        if (!rule)
            continue;
        auto engine = std::make_unique<RegExpr>();
        engine->options = options;
        engine->options.ignoreCase = !rule->caseSensitive;
        engine->SetExpression(rule->expression);
        try {
            engine->Compile();
        } catch (const RegExprError&) {
            engine.reset();
        }
        set->entries.push_back({j, std::move(*rule), std::move(engine)});
    }
    // One set per option combination (the filter's and the report's) is all that is used.
    std::erase_if(cache, [&](const auto& c) { return c->options == options; });
    cache.push_back(std::move(set));
    return *cache.back();
}

// Every rule of the set over the text; a rule that fails is skipped and the text stays as
// the previous rule left it.
void ApplyCompiled(const CompiledRules& rules, std::string& text, const RulesProgress& progress,
                   long firstStep) {
    for (const CompiledRules::Entry& e : rules.entries) {
        if (e.engine) {
            try {
                text = e.engine->Replace(text, e.rule.replacement);
            } catch (const RegExprError&) {
            }
        }
        progress.Position(firstStep + static_cast<long>(e.lineIndex));
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
    const CompiledRules& rules = RulesFor(settings, FilterOptions());
    progress.Range(static_cast<long>(rules.lineCount));
    ApplyCompiled(rules, text, progress, 0);
    progress.Range(0);
}

void RexFilterFull(std::string& text, const RulesSettings& settings, const FragmentSplitter& split,
                   const RulesProgress& progress) {
    if (!RulesActive(settings))
        return;
    const CompiledRules& rules = RulesFor(settings, FilterOptions());
    std::vector<std::string> fragments = split(text);
    progress.Range(static_cast<long>(fragments.size() * rules.lineCount));
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    for (size_t f = 0; f < fragments.size(); ++f) {
        ApplyCompiled(rules, fragments[f], progress, static_cast<long>(f * rules.lineCount));
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
    RegExprOptions reportOptions; // R and S stay on here
    const CompiledRules& rules = RulesFor(settings, reportOptions);
    std::vector<std::string> fragments = split(text);
    progress.Range(static_cast<long>(fragments.size() * rules.entries.size()));
    std::unordered_set<std::string> listed;
    long usedRules = 0;
    std::string changed;
    changed.reserve(text.size());
    long step = 0;
    for (std::string& fragment : fragments) {
        for (const CompiledRules::Entry& e : rules.entries) {
            progress.Position(step++);
            if (!e.engine)
                continue;
            try {
                if (!e.engine->Exec(fragment))
                    continue;
                fragment = e.engine->Replace(fragment, e.rule.replacement);
            } catch (const RegExprError&) {
                continue;
            }
            if (listed.insert(e.rule.line).second) {
                if (!report.empty())
                    report += kNl;
                report += e.rule.line;
                ++usedRules;
            }
        }
        changed += fragment;
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
