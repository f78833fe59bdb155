#include "textprep/PronunciationFilter.h"

#include "base/Cp1251.h"
#include "textprep/StringRoutines.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <new>

namespace vocalix::textprep {
namespace {

constexpr char kSlotSeparator = '|';

// Calls emit(key) for every candidate key of the word in lookup order; stops early when emit
// returns false. One buffer is reused, so no key is allocated on its own. A key for which
// admit(first, starSecond, last, length) is false is passed over without being built; admit
// is also asked with length kAnyKeyLength for whole families of keys, and a family none of
// whose shapes it admits is skipped.
template <class Emit, class Admit>
void ForEachCandidateKey(std::string_view w, Emit&& emit, Admit&& admit) {
    const std::string_view lead = LeadingPunctuation(w);
    const std::string_view trail = TrailingPunctuation(w);
    std::string_view core = WordCore(w);
    if (core.empty())
        core = w;
    const std::string lowW = LowerCase(w);
    const std::string lowC = LowerCase(core);
    std::string key;
    key.reserve(w.size() + trail.size() + 4);
    auto make = [&](std::string_view a, std::string_view b = {}, std::string_view c = {},
                    std::string_view d = {}) -> bool {
        const std::string_view parts[] = {a, b, c, d};
        char shape[2] = {0, 0}; // the key's first two characters
        size_t have = 0;
        char last = 0;
        size_t length = 0;
        for (const std::string_view part : parts) {
            for (size_t k = 0; k < part.size() && have < 2; ++k)
                shape[have++] = part[k];
            if (!part.empty())
                last = part.back();
            length += part.size();
        }
        if (have > 0 && !admit(shape[0], have > 1 && shape[1] == '*', last, length))
            return true;
        key.assign(a);
        key.append(b);
        key.append(c);
        key.append(d);
        return emit(std::string_view(key));
    };
    // A key of the substring loop below, whose shape the loop knows without reading the parts.
    auto made = [&](char first, bool starSecond, char last, std::string_view a, std::string_view b,
                    std::string_view c = {}) -> bool {
        if (!admit(first, starSecond, last, a.size() + b.size() + c.size()))
            return true;
        key.assign(a);
        key.append(b);
        key.append(c);
        return emit(std::string_view(key));
    };
    if (!make("$", w) || !make(lowW) || !make("$", core) || !make(lowC))
        return;
    const size_t lc = core.size();
    // The about lc * lc keys of the substrings below come in few shapes: their first two and
    // last characters are fixed by the family, the core's ends and the trailing punctuation.
    // When none of those shapes is admitted (a dictionary without keys beginning with "*" or
    // "$", a check list of plain words), none of the keys would be, and the loop is skipped.
    bool substringKeys = lc > 0;
    const char coreLast = lc > 0 ? core.back() : 0, lowLast = lc > 0 ? lowC.back() : 0;
    const char coreTrail = trail.empty() ? coreLast : trail.back();
    const char lowTrail = trail.empty() ? lowLast : trail.back();
    if (substringKeys) {
        const auto any = [&admit](char first, char last) {
            return admit(first, false, last, kAnyKeyLength) ||
                   admit(first, true, last, kAnyKeyLength);
        };
        substringKeys = any('$', '*') || any(lowC[0], '*') || any('*', '*') || any('$', coreLast) ||
                        any('$', coreTrail) || any('*', lowLast) || any('*', lowTrail);
    }
    for (size_t m = substringKeys ? lc : 0; m >= 1; --m) {
        for (size_t p = 0; p + m <= lc; ++p) {
            const std::string_view s = core.substr(p, m);
            const std::string_view ls = std::string_view(lowC).substr(p, m);
            const bool prefix = p == 0;
            const bool suffix = p + m == lc;
            const bool lowStar = ls[0] == '*'; // the second character of "*" + ls
            if (prefix) {
                if (!made('$', s[0] == '*', '*', "$", s, "*") ||
                    !made(ls[0], m == 1 || ls[1] == '*', '*', ls, "*") ||
                    !made('$', true, '*', "$*", s, "*") || !made('*', lowStar, '*', "*", ls, "*"))
                    return;
            }
            if (suffix) {
                if (!made('$', true, coreLast, "$*", s) ||
                    !made('$', true, coreTrail, "$*", s, trail) ||
                    !made('*', lowStar, lowLast, "*", ls) ||
                    !made('*', lowStar, lowTrail, "*", ls, trail))
                    return;
                if (m < lc &&
                    (!made('$', true, '*', "$*", s, "*") || !made('*', lowStar, '*', "*", ls, "*")))
                    return;
            }
            if (!prefix && !suffix) {
                if (!made('$', true, '*', "$*", s, "*") || !made('*', lowStar, '*', "*", ls, "*"))
                    return;
            }
        }
    }
    if (!make("$*") || !make("*"))
        return;
    if (!trail.empty() && (!make("$*", trail) || !make("*", trail)))
        return;
    if (!lead.empty() && (!make("$", lead, "*") || !make(lead, "*")))
        return;
    if (!make("$", w, "*") || !make(lowW, "*") || !make("$*", w) || !make("*", lowW) ||
        !make("$*", w, "*") || !make("*", lowW, "*"))
        return;
}

std::string_view TrimTrailingSpaces(std::string_view s) {
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

bool IsDash(std::string_view s) {
    return s == "-" || s == "\x96";
}

// Whether the word, brackets left out, ends in two or more punctuation characters or in "…".
bool SentenceCondition(std::string_view x) {
    const std::string bare = WordWithoutBrackets(x);
    const std::string_view t = TrailingPunctuation(bare);
    return t.size() >= 2 || t == "\x85";
}

bool CensorPatternMatches(std::string_view word, std::string_view pattern) {
    if (pattern.empty())
        return false;
    if (!TrailingPunctuation(pattern).empty())
        return WildMatch(LowerCase(word), pattern);
    return WildMatch(LowerCase(WordCore(word)), pattern);
}

bool CensorMatchItems(std::string_view word, const std::vector<std::string>& items,
                      bool& rangeFlag) {
    bool result = false;
    for (const std::string& item : items) {
        std::string_view from, to;
        const size_t dots = item.find("..");
        if (dots != std::string::npos) {
            from = std::string_view(item).substr(0, dots);
            to = std::string_view(item).substr(dots + 2);
        }
        if (CensorPatternMatches(word, from)) {
            result = true;
            rangeFlag = true;
        }
        if (CensorPatternMatches(word, to)) {
            result = true;
            rangeFlag = false;
        }
        if (rangeFlag)
            result = true;
        if (item != "*" && CensorPatternMatches(word, item))
            result = true;
    }
    return result;
}

// Restarts the magnifier's refresh on every way out of a filtering run.
class MagnifierPause {
public:
    explicit MagnifierPause(const FilterHooks& hooks) : m_hooks(hooks) {
        if (m_hooks.pauseMagnifier)
            m_hooks.pauseMagnifier();
    }
    ~MagnifierPause() {
        if (m_hooks.resumeMagnifier)
            m_hooks.resumeMagnifier();
    }
    MagnifierPause(const MagnifierPause&) = delete;
    MagnifierPause& operator=(const MagnifierPause&) = delete;

private:
    const FilterHooks& m_hooks;
};

} // namespace

void DicPrepare(const std::vector<std::string>& lines, SlotList& table) {
    const size_t n = HashTableSize(3 * lines.size());
    table.assign(n, std::string());
    for (const std::string& line : lines) {
        const auto parsed = ParseDicLine(line);
        if (!parsed)
            continue;
        const HashFindResult r = HashFind(table, parsed->key, n, kSlotSeparator, SlotHash::Mixed);
        if (r.index < 0)
            continue; // cannot happen at three slots per line
        std::string& slot = table[static_cast<size_t>(r.index)];
        if (slot.empty()) {
            slot.reserve(parsed->key.size() + 1 + parsed->entry.size());
            slot = parsed->key;
        }
        slot += kSlotSeparator;
        slot += parsed->entry;
    }
    std::vector<std::string> entries;
    for (std::string& slot : table) {
        if (slot.empty())
            continue;
        const size_t bar = slot.find(kSlotSeparator);
        const std::string_view rest =
            bar == std::string::npos ? std::string_view{} : std::string_view(slot).substr(bar + 1);
        SplitBy(rest, kSlotSeparator, entries);
        SortByLengthDesc(entries);
        std::string rebuilt(KeyOf(slot, kSlotSeparator));
        rebuilt += kSlotSeparator;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (i > 0)
                rebuilt += kSlotSeparator;
            rebuilt += entries[i];
        }
        rebuilt.shrink_to_fit();
        slot = std::move(rebuilt);
    }
}

namespace {

constexpr std::pair<const char*, std::string DictionaryTags::*> kTagKeys[] = {
    {"_E_", &DictionaryTags::E},      {"_Z_", &DictionaryTags::Z},
    {"_S_", &DictionaryTags::S},      {"_D_", &DictionaryTags::D},
    {"_XD_", &DictionaryTags::XD},    {"_C_", &DictionaryTags::C},
    {"_XC_", &DictionaryTags::XC},    {"_CENZ_", &DictionaryTags::CENZ},
    {"_INIT_", &DictionaryTags::INIT}};

} // namespace

DictionaryTags GetTags(const SlotList& table) {
    DictionaryTags tags;
    for (const auto& [name, member] : kTagKeys) {
        const HashFindResult r =
            HashFind(table, name, table.size(), kSlotSeparator, SlotHash::Mixed);
        if (r.index >= 0)
            tags.*member = std::string(TagValueOf(table[static_cast<size_t>(r.index)]));
    }
    return tags;
}

DictionaryTags GetTags(const EntryTable& table) {
    DictionaryTags tags;
    for (const auto& [name, member] : kTagKeys)
        tags.*member = std::string(TagValueOf(table.Record(name)));
    return tags;
}

size_t PronunciationTable::MemoryBytes() const {
    size_t bytes = sizeof(*this) - sizeof(entries) + entries.MemoryBytes();
    for (const std::string* s :
         {&tags.E, &tags.Z, &tags.S, &tags.D, &tags.XD, &tags.C, &tags.XC, &tags.CENZ, &tags.INIT})
        if (s->capacity() > 15)
            bytes += s->capacity() + 1;
    return bytes;
}

std::shared_ptr<const PronunciationTable>
BuildPronunciationTable(const std::vector<std::string>& lines) {
    auto table = std::make_shared<PronunciationTable>();
    size_t bytes = 0;
    for (const std::string& line : lines)
        bytes += line.size();
    table->entries.Reserve(lines.size(), bytes);
    for (const std::string& line : lines)
        table->entries.Add(line);
    table->entries.Finish();
    table->tags = GetTags(table->entries);
    return table;
}

std::vector<std::string> CandidateKeys(std::string_view word) {
    // A long word has thousands of keys: counted first, they are stored without the vector
    // moving them all again as it grows.
    size_t count = 0;
    ForEachCandidateKey(
        word,
        [&count](std::string_view) {
            ++count;
            return true;
        },
        [&count](char, bool, char, size_t length) {
            if (length == kAnyKeyLength)
                return true;
            ++count;
            return false;
        });
    std::vector<std::string> keys;
    keys.reserve(count);
    ForEachCandidateKey(
        word,
        [&keys](std::string_view k) {
            keys.emplace_back(k);
            return true;
        },
        [](char, bool, char, size_t) { return true; });
    return keys;
}

void VisitCandidateKeys(std::string_view word,
                        const std::function<bool(char, bool, char, size_t)>& admit,
                        const std::function<bool(std::string_view)>& visit) {
    ForEachCandidateKey(word, visit, admit);
}

bool PatternMatches(std::string_view pattern, std::string_view x) {
    if (IsStarOnlyPattern(pattern))
        return WordCore(x) == pattern;
    if (!PatternTailPunctuation(pattern).empty())
        return WildMatch(x, pattern);
    if (TrailingPunctuation(pattern).empty())
        return WildMatch(WordCore(x), pattern);
    if (!BracketsOf(pattern).empty())
        return WildMatch(x, pattern);
    return WildMatch(WordWithoutBrackets(x), pattern);
}

std::string ApplyReplacement(std::string_view form, std::string_view pattern, std::string_view r) {
    std::string v, lead, trail;
    const bool dollar = StartsWithChar(form, '$');
    if (dollar) {
        const std::string_view bare = form.substr(1);
        lead = LeadingPunctuation(bare);
        trail = TrailingPunctuation(bare);
        v = "$";
        v += WordCore(bare);
        v += trail;
    } else {
        v = form;
        lead = LeadingPunctuation(v);
        trail = TrailingPunctuation(v);
    }
    std::string_view p = pattern;
    if (v.size() >= 2 && p.size() >= 2 && p.substr(0, 2) == "$*") {
        v.erase(0, 1);
        p.remove_prefix(1);
    }
    // A form returned as it stands must not carry the "$" that only marks the case-sensitive
    // lookup into the spoken text.
    auto unchanged = [&](std::string s) {
        if (dollar && StartsWithChar(s, '$'))
            s.erase(0, 1);
        return s;
    };
    const std::string_view pCore = WordCore(p);
    const std::string_view pTrail = TrailingPunctuation(p);
    if (pCore.empty() && !pTrail.empty())
        return std::string(r);
    if (r.empty() && p != "*" && pCore == "*")
        return unchanged(v);
    if (v == p)
        return std::string(r);
    if (WordWithoutBrackets(v) == p)
        return lead + std::string(r) + BracketsOf(trail);
    if (WordCore(v) == p)
        return lead + std::string(r) + trail;
    const bool starFirst = StartsWithChar(p, '*');
    const bool starLast = !p.empty() && p.back() == '*';
    if (starFirst && !starLast) {
        // An ending: keep the stem of the form, put the replacement in place of the ending.
        long long count = static_cast<long long>(v.size()) - static_cast<long long>(p.size()) + 1;
        if (pTrail.empty())
            count -= static_cast<long long>(trail.size());
        std::string out = v.substr(0, static_cast<size_t>(std::max(0LL, count)));
        if (pTrail.empty()) {
            out += WordCore(r);
            out += trail;
        } else {
            out += r;
        }
        return out;
    }
    if (starLast && !starFirst) {
        // A beginning: the replacement in place of the prefix; an empty one glues the rest of
        // the word to the previous word.
        const size_t q = dollar ? p.size() : lead.size() + p.size();
        std::string out = lead + std::string(r);
        if (q >= 1 && q - 1 < v.size())
            out += std::string_view(v).substr(q - 1);
        if (r.empty())
            out.insert(out.begin(), kGlueMark);
        return out;
    }
    if (starFirst && starLast) {
        const std::string_view middle =
            p.size() >= 2 ? p.substr(1, p.size() - 2) : std::string_view{};
        if (middle.empty())
            return unchanged(v);
        return unchanged(ReplaceAll(v, middle, r));
    }
    return unchanged(v);
}

namespace {

// CheckWord over any table: find(key, entries) gives the entries filed under a key in lookup
// order, false when there are none.
template <class Find, class Admit>
std::string CheckWordWith(Find&& find, Admit&& admit, WordList& list, size_t i, size_t n) {
    std::string report;
    if (i >= list.size() || list[i].empty())
        return report;
    n = std::min(n, list.size());
    const std::string original = list[i];
    std::vector<std::string> patternWords, replacementWords;
    std::vector<std::string_view> entries;
    std::string form, matchText;
    ForEachCandidateKey(
        original,
        [&](std::string_view key) -> bool {
            if (key.empty())
                return true;
            if (!find(key, entries))
                return true;
            const bool dollar = key[0] == '$';
            bool capital = false;
            if (dollar) {
                form = "$" + list[i];
            } else {
                capital = StartsWithCapital(list[i]);
                form = LowerCase(list[i]);
            }
            for (const std::string_view entry : entries) {
                if (entry.empty())
                    continue;
                const std::string_view pattern = TrimTrailingSpaces(NameOf(entry));
                SplitBy(pattern, ' ', patternWords);
                const size_t k = patternWords.size();
                if (k == 0) {
                    return false;
                }
                if (StartsWithChar(form, '$')) {
                    const std::string_view bare = std::string_view(form).substr(1);
                    matchText = "$";
                    matchText += WordCore(bare);
                    matchText += TrailingPunctuation(form);
                } else {
                    matchText = form;
                }
                const bool phraseFits = k > 1 && i + k <= n;
                if (phraseFits)
                    for (size_t j = 1; j < k; ++j) {
                        matchText += ' ';
                        matchText += dollar ? list[i + j] : LowerCase(list[i + j]);
                    }
                if (!PatternMatches(pattern, matchText))
                    continue;
                const std::string_view replacement = ValueOf(entry);
                if (k == 1) {
                    list[i] = ApplyReplacement(form, pattern, replacement);
                    if (capital)
                        list[i] = CapitalizeFirstLetter(list[i]);
                } else if (phraseFits) {
                    SplitBy(replacement, ' ', replacementWords);
                    auto& rw = replacementWords;
                    for (size_t j = 0; j < k; ++j) {
                        if (rw.size() <= j)
                            rw.emplace_back();
                        if (patternWords[j] == "*" && !rw[j].empty())
                            rw.insert(rw.begin() + static_cast<long>(j), std::string());
                    }
                    while (rw.size() > k) {
                        rw[rw.size() - 2] += ' ';
                        rw[rw.size() - 2] += rw.back();
                        rw.pop_back();
                    }
                    list[i] = ApplyReplacement(form, patternWords[0], rw[0]);
                    for (size_t j = 1; j < k; ++j) {
                        const std::string next = dollar ? list[i + j] : LowerCase(list[i + j]);
                        list[i + j] = ApplyReplacement(next, patternWords[j], rw[j]);
                    }
                    if (capital)
                        list[i] = CapitalizeFirstLetter(list[i]);
                } else {
                    break; // the phrase runs past the end of the text
                }
                if (!report.empty())
                    report += kSlotSeparator;
                report += pattern;
                report += '=';
                report += replacement;
                break;
            }
            return true;
        },
        admit);
    return report;
}

} // namespace

std::string CheckWord(const SlotList& table, WordList& list, size_t i, size_t n) {
    const auto find = [&table](std::string_view key, std::vector<std::string_view>& entries) {
        entries.clear();
        const HashFindResult found =
            HashFind(table, key, table.size(), kSlotSeparator, SlotHash::Mixed);
        if (!found.found)
            return false;
        std::string_view rest = table[static_cast<size_t>(found.index)];
        const size_t bar = rest.find(kSlotSeparator);
        rest = bar == std::string_view::npos ? std::string_view{} : rest.substr(bar + 1);
        while (!rest.empty()) {
            const size_t next = rest.find(kSlotSeparator);
            entries.push_back(rest.substr(0, next));
            rest = next == std::string_view::npos ? std::string_view{} : rest.substr(next + 1);
        }
        return true;
    };
    return CheckWordWith(
        find, [](char, bool, char, size_t) { return true; }, list, i, n);
}

std::string CheckWord(const EntryTable& table, WordList& list, size_t i, size_t n) {
    const auto find = [&table](std::string_view key, std::vector<std::string_view>& entries) {
        return table.Find(key, entries);
    };
    const auto admit = [&table](char first, bool starSecond, char last, size_t length) {
        return table.MayHold(first, starSecond, last) &&
               (length == kAnyKeyLength || table.MayHoldLength(length));
    };
    return CheckWordWith(find, admit, list, i, n);
}

bool CensorMatch(std::string_view word, std::string_view censorList, bool& rangeFlag) {
    return CensorMatchItems(word, SplitBy(censorList, ' '), rangeFlag);
}

std::string JoinList(const WordList& list, bool keepLineBreaks, bool ignoreStyleRules,
                     const DictionaryTags& tags, std::vector<size_t>* pieceStarts) {
    const std::string_view sep = keepLineBreaks ? "\r\n" : "";
    std::string result;
    if (pieceStarts)
        pieceStarts->clear();
    if (ignoreStyleRules) {
        for (const std::string& e : list) {
            if (pieceStarts)
                pieceStarts->push_back(result.size() +
                                       (IsLineMarker(e) || StartsWithChar(e, kGlueMark) ? 0 : 1));
            if (IsLineMarker(e)) {
                result += ' ';
                result += sep;
            } else if (StartsWithChar(e, kGlueMark)) {
                result.append(e, 1);
            } else {
                result += ' ';
                result += e;
            }
        }
        return result;
    }
    result = tags.INIT;
    bool directSpeech = false, authorsWords = false;
    const std::string_view blank = " ";
    auto at = [&](size_t j) -> std::string_view { return j < list.size() ? list[j] : blank; };
    std::string cur;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string_view e = list[i];
        const std::string_view n1 = at(i + 1), n2 = at(i + 2);
        const bool marker = IsLineMarker(e);
        const bool hasTrail = !TrailingPunctuation(e).empty();
        if (marker && IsDash(n1) && StartsWithCapital(n2)) {
            cur = sep;
            if (!directSpeech) {
                directSpeech = true;
                cur += tags.Z;
                cur += tags.D;
            }
        } else if (directSpeech && marker && StartsWithCapital(n1)) {
            directSpeech = false;
            cur = tags.XD + " " + std::string(sep) + tags.Z;
        } else if (directSpeech && hasTrail && IsDash(n1)) {
            directSpeech = false;
            authorsWords = true;
            cur = e;
            if (SentenceCondition(e))
                cur += " " + tags.S;
            cur += " " + tags.XD + " " + tags.C;
        } else if (authorsWords && hasTrail && IsDash(n1)) {
            authorsWords = false;
            directSpeech = true;
            cur = e;
            if (TrailingPunctuation(e).size() >= 2)
                cur += " " + tags.S;
            cur += " " + tags.XC + " " + tags.D;
        } else if (authorsWords && e == kIndentMarker && StartsWithCapital(n1)) {
            authorsWords = false;
            cur = tags.XC + " " + std::string(sep) + tags.Z;
        } else {
            cur = e;
            if (SentenceCondition(e))
                cur += " " + tags.S;
            if (e == kEmptyLineMarker)
                cur = std::string(sep) + tags.E;
            else if (e == kIndentMarker)
                cur = std::string(sep) + tags.Z;
        }
        if (pieceStarts)
            pieceStarts->push_back(result.size() +
                                   (WordCore(cur).empty() || cur[0] == kGlueMark ? 0 : 1));
        if (WordCore(cur).empty()) {
            result += cur;
        } else if (cur[0] == kGlueMark) {
            result.append(cur, 1);
        } else {
            result += ' ';
            result += cur;
        }
    }
    return result;
}

namespace {

bool IsLetterOrDigit(char c) {
    return IsCyrillicLetter(c) || std::isalnum(static_cast<unsigned char>(c));
}

// The last piece whose output begins at or before the offset; end() when none.
FilterMap::const_iterator PieceAt(const FilterMap& map, size_t outputOffset) {
    auto it = std::upper_bound(
        map.begin(), map.end(), outputOffset,
        [](size_t offset, const FilterPiece& piece) { return offset < piece.outputStart; });
    return it == map.begin() ? map.end() : std::prev(it);
}

} // namespace

size_t SourceWordEnd(const FilterMap& map, std::string_view input, size_t outputEnd) {
    if (outputEnd == 0)
        return 0;
    auto it = PieceAt(map, outputEnd - 1);
    if (it == map.end())
        return 0;
    // Tag values of a line marker: the selection stays on the word read before them.
    while (it->inputStart == it->inputEnd) {
        if (it == map.begin())
            return 0;
        --it;
    }
    const size_t start = std::min(it->inputStart, input.size());
    size_t end = std::min(it->inputEnd, input.size());
    while (end > start && !IsLetterOrDigit(input[end - 1]))
        --end;
    return end > start ? end : std::min(it->inputEnd, input.size());
}

size_t SourceWordStart(const FilterMap& map, std::string_view input, size_t outputOffset) {
    auto it = PieceAt(map, outputOffset);
    if (it == map.end())
        return 0;
    const size_t end = std::min(it->inputEnd, input.size());
    size_t start = std::min(it->inputStart, end);
    while (start < end && !IsLetterOrDigit(input[start]))
        ++start;
    return start < end ? start : std::min(it->inputStart, end);
}

MemoryExhausted::MemoryExhausted() : std::runtime_error("memory exhausted while filtering") {}

const std::string& MemoryExhaustedMessage() {
    static const std::string text = base::Cp(
        "Неудачная попытка распределения динамической памяти. Причина: загруженные текст и "
        "словарь слишком велики. Работа программы сейчас будет завершена. Рекомендуется: 1) "
        "разбить текст на части или задать его чтение блоками;; 2) воспользоваться словарем "
        "меньшего размера.");
    return text;
}

const std::string& MemoryExhaustedCaption() {
    static const std::string text = base::Cp("Опаньки!");
    return text;
}

PronunciationFilter::PronunciationFilter(std::filesystem::path programDir)
    : m_programDir(std::move(programDir)) {}

std::shared_ptr<const PronunciationTable>
PronunciationFilter::DicPrepare(std::string_view selection) {
    auto stamps = StampDictionaries(selection, kPronunciationExtension, m_programDir);
    if (m_table && stamps == m_stamps)
        return m_table;
    // Drop the old table first, so two large tables never live side by side.
    m_table.reset();
    m_stamps.clear();
    // The files are read twice (counting, then filing) rather than held as a list of lines:
    // a full-form dictionary has millions of them.
    auto table = std::make_shared<PronunciationTable>();
    size_t bytes = 0;
    const size_t lines = ForEachDictionaryLine(selection, kPronunciationExtension, m_programDir,
                                               [&bytes](std::string_view l) { bytes += l.size(); });
    table->entries.Reserve(lines, bytes);
    ForEachDictionaryLine(selection, kPronunciationExtension, m_programDir,
                          [&table](std::string_view l) { table->entries.Add(l); });
    table->entries.Finish();
    table->tags = GetTags(table->entries);
    m_table = table;
    m_stamps = std::move(stamps);
    return table;
}

bool PronunciationFilter::Filter(std::string& text, bool keepLineBreaks, bool ignoreStyleRules,
                                 std::string_view selection, std::string_view currentFileName,
                                 const FilterHooks& hooks, FilterMap* map) {
    if (map)
        map->clear();
    if (IsDictionaryFile(currentFileName) || selection.find(".dic") == std::string_view::npos)
        return false;
    MagnifierPause pause(hooks);
    WordList list;
    std::vector<TokenSpan> spans;
    TextToWordList(text, list, map ? &spans : nullptr);
    const size_t n = list.size();
    if (hooks.setProgressMax)
        hooks.setProgressMax(n);
    const std::shared_ptr<const PronunciationTable> table = DicPrepare(selection);
    try {
        const std::vector<std::string> censor = SplitBy(table->tags.CENZ, ' ');
        bool rangeFlag = false;
        for (size_t i = 0; i < n; ++i) {
            if (!ignoreStyleRules && !censor.empty() &&
                CensorMatchItems(list[i], censor, rangeFlag))
                list[i].clear();
            if (!list[i].empty() && !IsLineMarker(list[i]))
                CheckWord(table->entries, list, i, n);
            if (hooks.setProgress)
                hooks.setProgress(i + 1);
            if (hooks.processEvents)
                hooks.processEvents();
        }
        if (hooks.setProgress)
            hooks.setProgress(0);
        std::vector<size_t> starts;
        std::string joined =
            JoinList(list, keepLineBreaks, ignoreStyleRules, table->tags, map ? &starts : nullptr);
        if (map) {
            map->reserve(starts.size());
            for (size_t i = 0; i < starts.size(); ++i)
                map->push_back({starts[i], spans[i].start, spans[i].end});
        }
        text = std::move(joined);
    } catch (const std::bad_alloc&) {
        WordList().swap(list);
        throw MemoryExhausted();
    }
    return true;
}

} // namespace vocalix::textprep
