#include "textprep/CorrectionRules.h"

#include "base/Cp1251.h"
#include "textprep/Dictionaries.h"
#include "textprep/StringRoutines.h"
#include "textprep/WordList.h"

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
void ApplyCompiled(const CompiledRules& rules, std::string& text, const HookedRun& run,
                   size_t firstStep) {
    const size_t limit = MaxReplaceResult(text.size());
    for (const CompiledRules::Entry& e : rules.entries) {
        if (e.engine) {
            try {
                text = e.engine->Replace(text, e.rule.replacement, true, limit);
            } catch (const RegExprError&) {
            } catch (const std::bad_alloc&) {
                throw MemoryExhausted();
            }
        }
        run.Step(firstStep + e.lineIndex);
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

void RexFilter(std::string& text, const RulesSettings& settings, const FilterHooks& hooks) {
    if (!RulesActive(settings))
        return;
    HookedRun run(hooks);
    const CompiledRules& rules = RulesFor(settings, FilterOptions());
    run.Max(rules.lineCount);
    ApplyCompiled(rules, text, run, 0);
}

void RexFilterFull(std::string& text, const RulesSettings& settings, const FragmentSplitter& split,
                   const FilterHooks& hooks) {
    if (!RulesActive(settings))
        return;
    HookedRun run(hooks);
    const CompiledRules& rules = RulesFor(settings, FilterOptions());
    // Every fragment ends with CR LF, also the last one of a text without a final line break:
    // the processed fragments, joined, are the new text.
    std::vector<std::string> fragments = split(text);
    run.Max(fragments.size() * rules.lineCount);
    try {
        std::string result;
        result.reserve(text.size() + text.size() / 8);
        for (size_t f = 0; f < fragments.size(); ++f) {
            ApplyCompiled(rules, fragments[f], run, f * rules.lineCount);
            result += fragments[f];
            fragments[f] = std::string(); // the text is held once, not twice
        }
        text = std::move(result);
    } catch (const std::bad_alloc&) {
        throw MemoryExhausted();
    }
}

std::string LinesToText(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += kNl;
    }
    return out;
}

namespace {

// Rules stage of the report: every rule that finds a match in some fragment, listed once in
// the order first used; the fragments are changed as the filter changes them.
std::string UsedRules(std::string& text, const RulesSettings& settings,
                      const FragmentSplitter& split, HookedRun& run, long& usedCount) {
    RegExprOptions reportOptions; // R and S stay on here
    const CompiledRules& rules = RulesFor(settings, reportOptions);
    // Every fragment ends with CR LF, also the last one of a text without a final line break:
    // the processed fragments, joined, are the new text.
    std::vector<std::string> fragments = split(text);
    run.Max(fragments.size() * rules.entries.size());
    std::string report;
    std::unordered_set<std::string> listed;
    std::string changed;
    changed.reserve(text.size());
    size_t step = 0;
    for (std::string& fragment : fragments) {
        const size_t limit = MaxReplaceResult(fragment.size());
        for (const CompiledRules::Entry& e : rules.entries) {
            run.Step(step++);
            if (!e.engine)
                continue;
            try {
                if (!e.engine->Exec(fragment))
                    continue;
                fragment = e.engine->Replace(fragment, e.rule.replacement, true, limit);
            } catch (const RegExprError&) {
                continue;
            } catch (const std::bad_alloc&) {
                throw MemoryExhausted();
            }
            // Compared as whole lines: a rule whose line happens to be part of another
            // rule's line is still listed and counted.
            if (listed.insert(e.rule.line).second) {
                if (!report.empty())
                    report += kNl;
                report += e.rule.line;
                ++usedCount;
            }
        }
        changed += fragment;
    }
    text = std::move(changed);
    run.Max(0);
    return report;
}

// Sort key of the entries list: without regard to case, ё beside е.
std::string EntryKey(std::string_view entry) {
    std::string key = LowerCase(entry);
    std::replace(key.begin(), key.end(), '\xB8', '\xE5');
    return key;
}

} // namespace

std::string RulesReport(std::string& text, bool full, const RulesSettings& settings,
                        const FragmentSplitter& split, const FilterHooks& hooks,
                        PronunciationFilter* filter) {
    if (IsDictionaryFile(settings.currentFileName))
        return {};
    HookedRun run(hooks);
    long usedRules = 0;
    std::string report = UsedRules(text, settings, split, run, usedRules);
    const std::string ruleFiles = SelectionOfKind(settings.selection, kRulesExtension);
    if (full && !ruleFiles.empty())
        report = base::Cp("# Список замен по \"") + ruleFiles + base::Cp("\". Правил: ") +
                 std::to_string(usedRules) + std::string(kNl) + std::string(kNl) + report;

    // Entries stage: the pronunciation entries the filter applies to the changed text.
    std::vector<std::string> used;
    if (settings.selection.find(kPronunciationExtension) != std::string::npos) {
        WordList list = TextToWordList(text);
        const size_t n = list.size();
        const long words = std::count_if(list.begin(), list.end(), [](const std::string& e) {
            return !e.empty() && !IsLineMarker(e);
        });
        std::optional<PronunciationFilter> own;
        if (!filter)
            filter = &own.emplace(settings.programDir);
        const std::shared_ptr<const PronunciationTable> table =
            filter->DicPrepare(settings.selection);
        std::unordered_set<std::string> seen; // lower-case forms of the used entries
        long applications = 0;
        run.Max(n);
        try {
            for (size_t i = 0; i < n; ++i) {
                if (!list[i].empty() && !IsLineMarker(list[i])) {
                    for (std::string& piece : SplitBy(CheckWord(table->entries, list, i, n), '|')) {
                        ++applications;
                        if (seen.insert(LowerCase(piece)).second)
                            used.push_back(std::move(piece));
                    }
                }
                run.Step(i + 1);
            }
        } catch (const std::bad_alloc&) {
            throw MemoryExhausted();
        }
        const long entries = static_cast<long>(used.size());
        const std::string dicFiles = SelectionOfKind(settings.selection, kPronunciationExtension);
        if (full && !dicFiles.empty())
            used.push_back(base::Cp("# Список замен по \"") + dicFiles + base::Cp("\". Правил: ") +
                           std::to_string(entries) + base::Cp(", применены: ") +
                           std::to_string(applications) + base::Cp(" раз к тексту из ") +
                           std::to_string(words) + base::Cp(" слов") + std::string(kNl));
        if (full)
            std::stable_sort(used.begin(), used.end(), [](const auto& a, const auto& b) {
                return EntryKey(a) < EntryKey(b);
            });
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
