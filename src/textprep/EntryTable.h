#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The pronunciation entries filed under their keys in a compact form for dictionaries of
// millions of lines. It answers exactly what the slot list of DicPrepare answers: the first
// line of a key fixes nothing but the key, every line of the key adds its entry, and the
// entries come back split at "|", without empty pieces or pieces of 100 characters or more,
// longest first and otherwise in file order. Keys are placed by a mixing hash in a table of
// HashTableSize(3 x lines) slots, so loading and lookup stay linear for every key pattern;
// the text lives in one block and slots are 32-bit, so memory stays near the size of the
// dictionary text.
namespace vocalix::textprep {

class EntryTable {
public:
    // Sizes the table for this many dictionary lines of about this many bytes in all. Call
    // once, before Add.
    void Reserve(std::size_t lines, std::size_t bytes);

    // Files one dictionary line under its key (see ParseDicLine); ignored lines are skipped.
    void Add(std::string_view line);

    // Puts every key's entries into lookup form; call once after the last Add.
    void Finish();

    // The entries filed under key, in lookup order; false (and no entries) when there are
    // none. The views stay valid as long as the table.
    bool Find(std::string_view key, std::vector<std::string_view>& entries) const;

    // False when no key of the table begins with `first` (followed by "*" or not) and ends
    // with `last`: most keys a word is looked up under begin or end with "*" or "$", and
    // few dictionaries have such keys, so this spares building and hashing them.
    bool MayHold(char first, bool starSecond, char last) const {
        const std::size_t bit = ShapeBit(first, starSecond, last);
        return (m_shapes[bit / 64] >> (bit % 64)) & 1;
    }
    static std::size_t ShapeBit(char first, bool starSecond, char last) {
        return static_cast<std::size_t>(static_cast<unsigned char>(first)) << 9 |
               static_cast<std::size_t>(static_cast<unsigned char>(last)) << 1 |
               (starSecond ? 1 : 0);
    }

    // False when no key of the table is `length` characters long: a long word's many
    // substring keys mostly have lengths no key of a small dictionary has.
    bool MayHoldLength(std::size_t length) const {
        const std::size_t bit = std::min(length, kLongKey);
        return (m_lengths[bit / 64] >> (bit % 64)) & 1;
    }

    // "key|entry|entry..." as the slot list holds it; "" when the key has no slot.
    std::string Record(std::string_view key) const;

    // Bytes the table uses.
    std::size_t MemoryBytes() const;

private:
    struct Node {
        uint32_t offset; // in m_text
        uint32_t length;
        uint32_t next; // index + 1 of the next entry; 0 ends the chain
    };
    // The slot holding key, or the empty slot where it belongs; npos when the table is full.
    std::size_t SlotOf(std::string_view key, uint64_t hash) const;
    uint32_t Store(std::string_view text);
    std::string_view TextOf(const Node& node) const {
        return std::string_view(m_text).substr(node.offset, node.length);
    }

    std::string m_text;
    std::vector<Node> m_nodes;
    // Per slot: index + 1 of the key's node (low half, 0 when empty) and the high half of the
    // key's hash, so that probing past other keys does not have to read their text.
    std::vector<uint64_t> m_heads;
    std::vector<uint32_t> m_pending; // slots whose entries Finish has to split or order
    std::vector<uint64_t> m_shapes = std::vector<uint64_t>(256 * 256 * 2 / 64); // see MayHold
    static constexpr std::size_t kLongKey = 127; // this length and all longer share a bit
    std::array<uint64_t, 2> m_lengths{};         // see MayHoldLength
};

} // namespace vocalix::textprep
