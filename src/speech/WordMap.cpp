#include "speech/WordMap.h"

#include <algorithm>

namespace vocalix::speech {
namespace {

bool IsWordChar(unsigned char c) {
    // ASCII letters and digits, and every Windows-1251 letter (Ё ё and А..я).
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           c >= 0xC0 || c == 0xA8 || c == 0xB8;
}

} // namespace

std::vector<WordSpan> SpokenWords(std::string_view text) {
    std::vector<WordSpan> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ')
            ++i;
        size_t end = i;
        while (end < text.size() && static_cast<unsigned char>(text[end]) > ' ')
            ++end;
        size_t a = i, b = end;
        while (a < b && !IsWordChar(static_cast<unsigned char>(text[a])))
            ++a;
        while (b > a && !IsWordChar(static_cast<unsigned char>(text[b - 1])))
            --b;
        if (a < b)
            words.push_back({static_cast<int>(a), static_cast<int>(b - a)});
        i = end;
    }
    return words;
}

int WordTracker::Map(int offset) {
    // First word that ends after the offset: the one containing it, or the next one.
    auto it = std::partition_point(m_words.begin(), m_words.end(), [offset](const WordSpan& w) {
        return w.start + w.length <= offset;
    });
    if (it == m_words.end())
        return -1;
    const size_t index = static_cast<size_t>(it - m_words.begin());
    if (index < m_next)
        return -1;
    m_next = index + 1;
    return static_cast<int>(index);
}

} // namespace vocalix::speech
