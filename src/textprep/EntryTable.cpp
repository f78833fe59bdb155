#include "textprep/EntryTable.h"

#include "textprep/Dictionaries.h"
#include "textprep/SlotList.h"
#include "textprep/StringRoutines.h"

#include <algorithm>

namespace vocalix::textprep {

namespace {

constexpr char kSeparator = '|';

} // namespace

void EntryTable::Reserve(std::size_t lines, std::size_t bytes) {
    m_heads.assign(HashTableSize(3 * lines), 0);
    // Untouched reserved pages cost no memory; the reserve spares the copies of growing.
    m_nodes.reserve(2 * lines);
    m_text.reserve(bytes + bytes / 2 + 16);
}

std::size_t EntryTable::SlotOf(std::string_view key, uint64_t hash) const {
    const std::size_t n = m_heads.size();
    if (n == 0)
        return std::string_view::npos;
    const auto start = static_cast<std::size_t>(hash % n);
    const uint64_t tag = hash >> 32 << 32;
    std::size_t index = start;
    for (;;) {
        const uint64_t head = m_heads[index];
        if (head == 0)
            return index;
        if ((head & ~uint64_t{0xFFFFFFFF}) == tag &&
            TextOf(m_nodes[static_cast<uint32_t>(head) - 1]) == key)
            return index;
        if (++index == n)
            index = 0;
        if (index == start)
            return std::string_view::npos;
    }
}

uint32_t EntryTable::Store(std::string_view text) {
    const auto offset = static_cast<uint32_t>(m_text.size());
    m_text.append(text);
    m_nodes.push_back({offset, static_cast<uint32_t>(text.size()), 0});
    return static_cast<uint32_t>(m_nodes.size());
}

void EntryTable::Add(std::string_view line) {
    const auto parsed = ParseDicLine(line);
    // A key with the separator in it can never be asked for, nor can an empty one.
    if (!parsed || parsed->key.empty() || parsed->key.find(kSeparator) != std::string::npos)
        return;
    if (m_heads.empty())
        Reserve(1, line.size());
    const uint64_t hash = MixedHash(parsed->key);
    const std::size_t slot = SlotOf(parsed->key, hash);
    if (slot == std::string_view::npos)
        return; // cannot happen at three slots per line
    // Entries are chained newest first here; Finish puts them in file order.
    const uint32_t entry = Store(parsed->entry);
    const std::string_view text = parsed->entry;
    bool pending = text.empty() || text.size() >= kMaxTokenLength ||
                   text.find(kSeparator) != std::string_view::npos;
    if (m_heads[slot] == 0) {
        // The key is nearly always the entry's beginning: then it takes no text of its own.
        uint32_t keyNode;
        if (text.substr(0, parsed->key.size()) == parsed->key) {
            m_nodes.push_back(
                {m_nodes[entry - 1].offset, static_cast<uint32_t>(parsed->key.size()), 0});
            keyNode = static_cast<uint32_t>(m_nodes.size());
        } else {
            keyNode = Store(parsed->key);
        }
        m_heads[slot] = (hash >> 32 << 32) | keyNode;
        const std::string_view key = parsed->key;
        const std::size_t bit = ShapeBit(key.front(), key.size() > 1 && key[1] == '*', key.back());
        m_shapes[bit / 64] |= uint64_t{1} << (bit % 64);
        const std::size_t length = std::min(key.size(), kLongKey);
        m_lengths[length / 64] |= uint64_t{1} << (length % 64);
    } else {
        pending = true; // a second entry: the entries have to be ordered
    }
    if (pending)
        m_pending.push_back(static_cast<uint32_t>(slot));
    Node& key = m_nodes[static_cast<uint32_t>(m_heads[slot]) - 1];
    m_nodes[entry - 1].next = key.next;
    key.next = entry;
}

void EntryTable::Finish() {
    // Most keys have one entry that is already in lookup form; only the others are visited.
    std::sort(m_pending.begin(), m_pending.end());
    m_pending.erase(std::unique(m_pending.begin(), m_pending.end()), m_pending.end());
    std::vector<uint32_t> chain;
    std::vector<Node> pieces;
    for (const uint32_t slot : m_pending) {
        const auto head = static_cast<uint32_t>(m_heads[slot]);
        const uint32_t first = m_nodes[head - 1].next;
        chain.clear();
        for (uint32_t e = first; e != 0; e = m_nodes[e - 1].next)
            chain.push_back(e);
        std::reverse(chain.begin(), chain.end());
        pieces.clear();
        for (const uint32_t e : chain) {
            const Node& node = m_nodes[e - 1];
            const std::string_view text = TextOf(node);
            std::size_t start = 0;
            while (start <= text.size()) {
                std::size_t end = text.find(kSeparator, start);
                if (end == std::string_view::npos)
                    end = text.size();
                const std::size_t length = end - start;
                if (length > 0 && length < kMaxTokenLength)
                    pieces.push_back({node.offset + static_cast<uint32_t>(start),
                                      static_cast<uint32_t>(length), 0});
                start = end + 1;
            }
        }
        std::stable_sort(pieces.begin(), pieces.end(),
                         [](const Node& a, const Node& b) { return a.length > b.length; });
        // The pieces take over the chain's nodes; more pieces than entries get new ones.
        while (chain.size() < pieces.size()) {
            m_nodes.push_back({});
            chain.push_back(static_cast<uint32_t>(m_nodes.size()));
        }
        m_nodes[head - 1].next = pieces.empty() ? 0 : chain[0];
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            Node& node = m_nodes[chain[i] - 1];
            node = pieces[i];
            node.next = i + 1 < pieces.size() ? chain[i + 1] : 0;
        }
    }
    m_pending = std::vector<uint32_t>();
}

bool EntryTable::Find(std::string_view key, std::vector<std::string_view>& entries) const {
    entries.clear();
    const std::size_t slot = SlotOf(key, MixedHash(key));
    if (slot == std::string_view::npos || m_heads[slot] == 0)
        return false;
    const auto head = static_cast<uint32_t>(m_heads[slot]);
    for (uint32_t e = m_nodes[head - 1].next; e != 0; e = m_nodes[e - 1].next)
        entries.push_back(TextOf(m_nodes[e - 1]));
    return true;
}

std::string EntryTable::Record(std::string_view key) const {
    std::vector<std::string_view> entries;
    if (!Find(key, entries))
        return {};
    std::string record(key);
    record += kSeparator;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0)
            record += kSeparator;
        record += entries[i];
    }
    return record;
}

std::size_t EntryTable::MemoryBytes() const {
    // Reserved room that was never written costs no memory, so what is used is counted.
    return sizeof(*this) + m_text.size() + m_nodes.size() * sizeof(Node) +
           (m_heads.size() + m_shapes.size()) * sizeof(uint64_t);
}

} // namespace vocalix::textprep
