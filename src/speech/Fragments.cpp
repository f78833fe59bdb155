#include "speech/Fragments.h"

#include <cmath>

namespace vocalix::speech {
namespace {

// Deciding the break kind only needs to know whether a paragraph break starts this early.
constexpr int kParagraphProbe = 1024;
constexpr int kNoLimit = 999999999;

// 1-based position of the CR of the next CR LF at or after `from`, or 0.
int FindLineBreak(std::string_view text, int from) {
    if (from < 1)
        from = 1;
    const size_t at = text.find("\r\n", static_cast<size_t>(from - 1));
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

} // namespace

int FindParagraphBreak(std::string_view text, int start) {
    if (start < 1)
        start = 1;
    for (size_t i = static_cast<size_t>(start - 1); i + 2 < text.size(); ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n' && (text[i + 2] == ' ' || text[i + 2] == '\r'))
            return static_cast<int>(i) + 1;
    }
    return 0;
}

void SplitToFragments(std::string_view text, int limit, std::vector<std::string>& fragments,
                      std::vector<std::string>& offsets) {
    fragments.clear();
    offsets.clear();
    const long long L = limit <= 0 ? kNoLimit : limit;
    // Only the head of the text decides, so a huge text without paragraphs is not scanned twice.
    const int first = FindParagraphBreak(text.substr(0, kParagraphProbe + 2), 1);
    const bool byParagraph = first >= 1 && first <= kParagraphProbe;

    std::string accumulator;
    long long accumulated = 0;
    long long start = 1;
    int from = 1;
    auto addPiece = [&](std::string_view piece) {
        accumulator.append(piece);
        accumulator.append("\r\n");
        const long long pieceLength = static_cast<long long>(piece.size()) + 2;
        accumulated += pieceLength;
        if (accumulated > L - pieceLength) {
            fragments.push_back(accumulator);
            offsets.push_back(std::to_string(start));
            start += static_cast<long long>(accumulator.size());
            accumulator.clear();
            accumulated = 0;
        }
    };
    for (;;) {
        const int n = byParagraph ? FindParagraphBreak(text, from) : FindLineBreak(text, from);
        if (n == 0)
            break;
        addPiece(text.substr(static_cast<size_t>(from - 1), static_cast<size_t>(n - from)));
        from = n + 2;
    }
    if (static_cast<size_t>(from - 1) < text.size())
        addPiece(text.substr(static_cast<size_t>(from - 1)));
    if (!accumulator.empty()) {
        fragments.push_back(accumulator);
        offsets.push_back(std::to_string(start));
    }
}

bool IsBlankText(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) > ' ')
            return false;
    return true;
}

long long RoundHalfEven(double value) {
    return static_cast<long long>(std::nearbyint(value)); // default rounding mode: to even
}

} // namespace vocalix::speech
