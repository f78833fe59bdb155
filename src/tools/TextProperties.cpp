#include "tools/TextProperties.h"

#include "base/Cp1251.h"
#include "textprep/StringRoutines.h"
#include "textprep/WordList.h"
#include "tools/RoundToDecimals.h"

namespace vocalix::tools {
namespace {

namespace tp = vocalix::textprep;

constexpr char kSmallYo = '\xB8';
constexpr char kCapitalYo = '\xA8';

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Ratio of yo-words to letters from which a text counts as consistently or partly yo-written.
constexpr double kYoConsistent = 0.00005;
constexpr double kYoPartial = 0.000005;

} // namespace

bool IsLatinWord(std::string_view token) {
    const std::string_view core = tp::WordCore(token);
    if (core.empty() || core == "'")
        return false;
    for (const char c : core)
        if (!IsAsciiLetter(c) && c != '\'')
            return false;
    return true;
}

TextCounts CountText(std::string_view text, const ReportHooks& hooks) {
    ReportRun run(hooks);
    TextCounts c;
    const tp::WordList list = tp::TextToWordList(text);
    run.Max(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string& t = list[i];
        if (!t.empty() && !tp::IsLineMarker(t)) {
            ++c.words;
            c.letters += t.size();
            c.yoWords +=
                (t.find(kSmallYo) != std::string::npos) + (t.find(kCapitalYo) != std::string::npos);
            c.latinWords += IsLatinWord(t);
            run.Step(i);
        }
        if (i + 1 < list.size()) {
            const std::string& next = list[i + 1];
            if ((t == tp::kIndentMarker && next != tp::kIndentMarker &&
                 next != tp::kEmptyLineMarker) ||
                (t == tp::kEmptyLineMarker && next != tp::kEmptyLineMarker &&
                 next != tp::kIndentMarker))
                ++c.paragraphs;
        }
    }
    for (size_t at = text.find("\r\n"); at != std::string_view::npos;
         at = text.find("\r\n", at + 2))
        ++c.lineBreaks;
    c.lines = c.lineBreaks + 1;
    c.length = text.size();
    return c;
}

std::string TextPropertiesReport(std::string_view text, std::string_view fileTitle,
                                 const ReportHooks& hooks) {
    const TextCounts c = CountText(text, hooks);
    const auto d = [](size_t n) { return static_cast<double>(n); };
    // A page without words has nothing to divide by: its average and shares are 0.
    const double average = c.words ? d(c.letters) / d(c.words) : 0.0;
    const double latinShare = c.words ? 100.0 * d(c.latinWords) / d(c.words) : 0.0;
    const double yoRatio = c.letters ? d(c.yoWords) / d(c.letters) : 0.0;
    const char* verdict = yoRatio >= kYoConsistent ? "ДА"
                          : yoRatio >= kYoPartial  ? "частичная"
                                                   : "нет";
    using std::to_string;
    const auto line = [](std::string& out, std::string_view utf8, const std::string& value,
                         std::string_view tail = {}) {
        out += base::Cp(utf8);
        out += value;
        out += base::Cp(tail);
        out += "\r\n";
    };
    std::string r = base::Cp("# Свойства текста \"");
    r += fileTitle;
    r += "\"\r\n\r\n";
    line(r, "Размер: ", RoundToDecimals(d(c.length) / 1024.0, 0),
         " Кб = " + RoundToDecimals(d(c.length) / 40000.0, 1) + " авторских листов");
    line(r, "Знаков (без пробелов): ", to_string(c.letters));
    // Each line break is two characters of the text; the spaces between words stay counted.
    line(r, "Знаков (с пробелами): ", to_string(c.length - 2 * c.lineBreaks));
    line(r, "Слов: ", to_string(c.words));
    line(r, "Средняя длина слова: ", RoundToDecimals(average, 3));
    line(r, "Абзацев: ", to_string(c.paragraphs));
    line(r, "Строк: ", to_string(c.lines));
    line(r, "Ёфикация: ", base::Cp(verdict), " (" + to_string(c.yoWords) + " слов)");
    line(r, "Латиница: ", RoundToDecimals(latinShare, 3),
         "% (" + to_string(c.latinWords) + " слов)");
    return r;
}

} // namespace vocalix::tools
