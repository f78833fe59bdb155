#include "tools/TextSearch.h"

#include "base/Cp1251.h"
#include "textprep/StringRoutines.h"

namespace vocalix::tools {

std::string ReplaceAllMatches(std::string_view text, std::string_view what, std::string_view with,
                              bool matchCase) {
    if (matchCase)
        return textprep::ReplaceAll(text, what, with);
    if (what.empty())
        return std::string(text);
    // Case folding keeps every character in place, so positions in the folded copy are
    // positions in the text.
    const std::string folded = textprep::LowerCase(text);
    const std::string key = textprep::LowerCase(what);
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (;;) {
        const size_t at = folded.find(key, start);
        if (at == std::string::npos)
            break;
        out.append(text.substr(start, at - start));
        out.append(with);
        start = at + key.size();
    }
    out.append(text.substr(start));
    return out;
}

std::string NotFoundQuestion(std::string_view what) {
    return base::Cp("Текст \"") + std::string(what) + base::Cp("\" далее не найден. Продолжать?");
}

} // namespace vocalix::tools
