#include "textprep/WordList.h"

#include "textprep/StringRoutines.h"

namespace vocalix::textprep {
namespace {

void AppendLine(std::string_view line, size_t lineStart, WordList& list, size_t maxLength,
                std::vector<TokenSpan>* spans) {
    const bool empty = TrimControls(line).empty();
    if (empty || line[0] == ' ') {
        list.emplace_back(empty ? kEmptyLineMarker : kIndentMarker);
        if (spans)
            spans->push_back({lineStart, lineStart});
    }
    size_t start = 0;
    while (start < line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string_view::npos)
            end = line.size();
        const size_t len = end - start;
        if (len > 0 && len < maxLength) {
            list.emplace_back(line.substr(start, len));
            if (spans)
                spans->push_back({lineStart + start, lineStart + end});
        }
        start = end + 1;
    }
}

void CutText(std::string_view text, WordList& list, size_t maxLength,
             std::vector<TokenSpan>* spans = nullptr) {
    list.clear();
    if (spans)
        spans->clear();
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos)
            break;
        AppendLine(text.substr(start, end - start), start, list, maxLength, spans);
        start = end + 2;
    }
    if (start < text.size())
        AppendLine(text.substr(start), start, list, maxLength, spans);
}

} // namespace

void TextToWordList(std::string_view text, WordList& list, std::vector<TokenSpan>* spans) {
    CutText(text, list, kMaxTokenLength, spans);
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
