#include "textprep/WordList.h"

#include "textprep/StringRoutines.h"

namespace vocalix::textprep {
namespace {

void AppendLine(std::string_view line, WordList& list, size_t maxLength) {
    if (TrimControls(line).empty())
        list.emplace_back(kEmptyLineMarker);
    else if (line[0] == ' ')
        list.emplace_back(kIndentMarker);
    size_t start = 0;
    while (start < line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string_view::npos)
            end = line.size();
        const size_t len = end - start;
        if (len > 0 && len < maxLength)
            list.emplace_back(line.substr(start, len));
        start = end + 1;
    }
}

void CutText(std::string_view text, WordList& list, size_t maxLength) {
    list.clear();
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos)
            break;
        AppendLine(text.substr(start, end - start), list, maxLength);
        start = end + 2;
    }
    if (start < text.size())
        AppendLine(text.substr(start), list, maxLength);
}

} // namespace

void TextToWordList(std::string_view text, WordList& list) {
    CutText(text, list, kMaxTokenLength);
}

WordList TextToWordList(std::string_view text) {
    WordList list;
    TextToWordList(text, list);
    return list;
}

WordList TextToWordListKeepingLongTokens(std::string_view text) {
    WordList list;
    CutText(text, list, std::string_view::npos);
    return list;
}

} // namespace vocalix::textprep
