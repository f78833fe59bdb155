#include "tools/FreshEye.h"

#include "base/Cp1251.h"
#include "textprep/StringRoutines.h"
#include "textprep/WordList.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vocalix::tools {
namespace {

namespace tp = vocalix::textprep;

// Three-letter words too common to count as repeats. One string searched as a whole: the
// missing "|" after "сил" goes unnoticed by the substring test and is kept as it has always
// been.
const std::string& StopWords() {
    static const std::string s = base::Cp(
        "что|как|его|все|это|так|еще|был|она|уже|мне|для|они|или|ему|под|вот|чем|где|нас|раз|"
        "там|нет|кто|без|тут|при|них|вас|лет|том|сам|ним|над|вам|два|тем|нам|тот|нее|ней|эти|"
        "мог|три|про|мой|эту|нем|всю|тех|эта|две|оно|год|дня|дом|наш|моя|пор|той|мои|вся|мир|"
        "шел|час|силthe|and|you|not|was|his|she|say|her|for|are|but|can|him|out|get|all|one|"
        "see|man|now|who|off|two|eye|how|day|way|ask|try|too|sit|let|why|car|any|run|put|yes|"
        "old|may|cut|our|its|arm|use|big|new|had|own");
    return s;
}

// Pairs of words that belong together and are no fault ("друг друга"); searched the same way.
const std::string& ExceptionPairs() {
    static const std::string s = base::Cp(
        "белым бело|больше больше|больше более|более больше|больше меньше|вины виноватый|"
        "волей неволей|время времени|всего навсего|даже уже|друг друга|друг друге|друг другом|"
        "друг другу|дурак дураком|если если|звонка звонка|конце концов|корки корки|либо либо|"
        "мало помалу|меньше больше|начать сначала|новые новые|объять необъятное|одному тому|"
        "полным полно|постольку поскольку|тогда когда|чуть чуть|шаг шагомmore more|"
        "better better|here there|again again|round round|little little");
    return s;
}

// SubstringShare on words already in lower case.
double LoweredShare(std::string_view a, std::string_view b, int n) {
    size_t total = 0, found = 0;
    for (size_t len = static_cast<size_t>(std::max(n, 0)); len >= 1; --len) {
        if (len > a.size())
            continue;
        for (size_t p = 0; p + len <= a.size(); ++p) {
            ++total;
            found += b.find(a.substr(p, len)) != std::string_view::npos;
        }
    }
    return total ? static_cast<double>(found) / static_cast<double>(total) : 0.0;
}

constexpr size_t kSubstringLength = 3;

// What the finder compares of a token: its core in lower case, and whether it may take part
// in a find at all (three letters or more, not a stop word).
struct Compared {
    std::string word;
    bool eligible = false;
    // Whether the word occurs in the exception string at all; a pair "w v" can only occur
    // there when w does, which spares most pairs the search.
    bool inExceptions = false;
    // The word's substrings of 1 to kSubstringLength characters, each as a number (its length
    // and bytes), sorted: all of them, and the distinct ones. A token is compared with up to
    // twenty others; with these a comparison is one walk along both lists instead of a
    // search of the other word for every substring.
    std::vector<uint32_t> pieces, distinct;
};

uint32_t PieceCode(std::string_view word, size_t at, size_t len) {
    uint32_t code = static_cast<uint32_t>(len);
    for (size_t k = 0; k < len; ++k)
        code = code << 8 | static_cast<unsigned char>(word[at + k]);
    return code;
}

Compared CompareForm(std::string_view token) {
    Compared c;
    c.word = tp::LowerCase(tp::WordCore(token));
    c.eligible = c.word.size() >= 3 && StopWords().find(c.word) == std::string::npos;
    c.inExceptions = c.eligible && ExceptionPairs().find(c.word) != std::string::npos;
    if (c.eligible) {
        for (size_t len = kSubstringLength; len >= 1; --len)
            for (size_t p = 0; p + len <= c.word.size(); ++p)
                c.pieces.push_back(PieceCode(c.word, p, len));
        std::sort(c.pieces.begin(), c.pieces.end());
        c.distinct = c.pieces;
        c.distinct.erase(std::unique(c.distinct.begin(), c.distinct.end()), c.distinct.end());
    }
    return c;
}

// LoweredShare(a.word, b.word, kSubstringLength) of two eligible forms.
double PieceShare(const Compared& a, const Compared& b) {
    size_t found = 0;
    auto in = b.distinct.begin();
    const auto end = b.distinct.end();
    for (const uint32_t piece : a.pieces) {
        while (in != end && *in < piece)
            ++in;
        found += in != end && *in == piece;
    }
    return a.pieces.empty() ? 0.0
                            : static_cast<double>(found) / static_cast<double>(a.pieces.size());
}

// Whether the larger of the two shares, in percent, exceeds the threshold; the second share
// is only computed when the first does not.
bool Resembles(const Compared& a, const Compared& b, double threshold) {
    return PieceShare(a, b) * 100 > threshold || PieceShare(b, a) * 100 > threshold;
}

} // namespace

double SubstringShare(std::string_view a, std::string_view b, int n) {
    return LoweredShare(tp::LowerCase(a), tp::LowerCase(b), n);
}

double WordSimilarity(std::string_view a, std::string_view b, int n) {
    const std::string la = tp::LowerCase(a), lb = tp::LowerCase(b);
    return std::max(LoweredShare(la, lb, n), LoweredShare(lb, la, n));
}

std::string FreshEyeReport(std::string_view text, std::string_view fileTitle,
                           const FreshEyeSettings& settings, const ReportHooks& hooks) {
    ReportRun run(hooks);
    const tp::WordList list = tp::TextToWordList(text);
    const size_t n = list.size();
    // Below 1 there is no window to look into. Above kMaxFreshEyeDeep (where the preferences
    // stop) a depth typed into the settings file would fill every line with millions of
    // places past the end of the text.
    const size_t window =
        settings.deep >= 1 ? static_cast<size_t>(std::min(settings.deep, kMaxFreshEyeDeep)) - 1 : 0;
    const bool looks = settings.deep >= 1;
    run.Max(n);

    // Each token's compared form is made once; every token is compared deep - 1 times.
    std::vector<Compared> forms;
    forms.reserve(n);
    for (const std::string& t : list)
        forms.push_back(CompareForm(t));
    const std::string& exceptions = ExceptionPairs();
    const double threshold = settings.similarity - 0.001;

    size_t words = 0, finds = 0;
    std::string body, line, pair;
    for (size_t p = 0; p < n; ++p) {
        const std::string& token = list[p];
        if (tp::IsLineMarker(token))
            continue;
        if (!token.empty())
            ++words;
        if (!looks) {
            run.Step(p);
            continue;
        }
        const Compared& w = forms[p];
        line = token;
        for (size_t k = 1; k <= window; ++k) {
            // Past the end the window holds empty tokens, which are never similar.
            const size_t j = p + k;
            if (j >= n) {
                line += ' ';
                continue;
            }
            const Compared& v = forms[j];
            bool found = false;
            if (w.eligible && v.eligible) {
                if (w.inExceptions)
                    pair.assign(w.word).append(" ").append(v.word);
                found = (!w.inExceptions || exceptions.find(pair) == std::string::npos) &&
                        Resembles(w, v, threshold);
            }
            if (found) {
                line += " {";
                line += list[j];
                line += '}';
            } else {
                line += ' ';
                line += list[j];
            }
        }
        if (line.find('{') != std::string::npos) {
            body += line;
            body += "\r\n\r\n";
            ++finds;
        }
        run.Step(p);
    }
    std::string r = base::Cp("# Свежий взгляд на текст \"");
    r += fileTitle;
    r += "\"\r\n";
    r += base::Cp("# Слов: ") + std::to_string(words) +
         base::Cp(". Найдено повторов, тавтологий и созвучий: ") + std::to_string(finds) +
         "\r\n\r\n";
    r += body;
    return r;
}

} // namespace vocalix::tools
