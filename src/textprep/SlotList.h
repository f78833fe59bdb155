#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The slot list: an open-addressing hash table kept in a fixed-length list of strings. A slot
// holds an entry whose key is the text before the caller's separator character. Slots are
// never emptied; a removed entry becomes the tombstone "#".
namespace vocalix::textprep {

using SlotList = std::vector<std::string>;

// Written over a removed entry, so probing passes over it.
inline constexpr std::string_view kTombstone = "#";

// An odd size with no divisor c, 3 <= c <= sqrt(size), at or above n (0 and 1 give 1).
size_t HashTableSize(size_t n);

// ELF hash of the key's bytes (32-bit arithmetic) modulo n.
size_t HashIndex(std::string_view key, size_t n);

// A mixing hash of the key's bytes (64-bit) modulo n. The ELF hash keeps 28 bits and lets
// keys with long shared beginnings or regular endings fall into runs of neighbouring slots,
// which linear probing then turns into long searches; tables whose slot order nobody sees use
// this one.
size_t MixedHashIndex(std::string_view key, size_t n);
// The 64-bit mixing hash itself (MixedHashIndex is this modulo n).
uint64_t MixedHash(std::string_view key);

// Which of the two hashes places the keys of a table.
enum class SlotHash { Elf, Mixed };

struct HashFindResult {
    bool found = false;
    // The slot holding the key, or the empty slot where it belongs; -1 when the table is full.
    long long index = -1;
};

// Linear probing from the key's hash index until the key or an empty slot is met.
HashFindResult HashFind(const SlotList& slots, std::string_view key, size_t n, char separator,
                        SlotHash hash = SlotHash::Elf);

} // namespace vocalix::textprep
