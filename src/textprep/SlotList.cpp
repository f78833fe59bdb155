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

size_t MixedHashIndex(std::string_view key, size_t n) {
    return n == 0 ? 0 : static_cast<size_t>(MixedHash(key) % n);
}

uint64_t MixedHash(std::string_view key) {
    uint64_t h = 0xCBF29CE484222325u; // FNV-1a, then a 64-bit finaliser spreads every bit
    for (unsigned char b : key)
        h = (h ^ b) * 0x100000001B3u;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDu;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53u;
    h ^= h >> 33;
    return h;
}

HashFindResult HashFind(const SlotList& slots, std::string_view key, size_t n, char separator,
                        SlotHash hash) {
    if (n == 0 || slots.size() < n)
        return {};
    const size_t start = hash == SlotHash::Mixed ? MixedHashIndex(key, n) : HashIndex(key, n);
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
