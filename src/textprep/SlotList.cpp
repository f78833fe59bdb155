#include "textprep/SlotList.h"

#include "textprep/StringRoutines.h"

namespace vocalix::textprep {

size_t HashTableSize(size_t n) {
    if (n % 2 == 0)
        ++n;
    for (;;) {
        bool prime = true;
        for (size_t c = 3; c * c <= n; ++c)
            if (n % c == 0) {
                prime = false;
                break;
            }
        if (prime)
            return n;
        n += 2;
    }
}

size_t HashIndex(std::string_view key, size_t n) {
    uint32_t h = 0;
    for (unsigned char b : key) {
        h = (h << 4) + b;
        const uint32_t g = h & 0xF0000000u;
        if (g != 0)
            h ^= g >> 24;
        h ^= g;
    }
    return n == 0 ? 0 : h % n;
}

HashFindResult HashFind(const SlotList& slots, std::string_view key, size_t n, char separator) {
    if (n == 0 || slots.size() < n)
        return {};
    const size_t start = HashIndex(key, n);
    size_t index = start;
    for (;;) {
        const std::string& slot = slots[index];
        if (slot.empty())
            return {false, static_cast<long long>(index)};
        if (KeyOf(slot, separator) == key)
            return {true, static_cast<long long>(index)};
        if (++index == n)
            index = 0;
        if (index == start)
            return {false, -1};
    }
}

} // namespace vocalix::textprep
