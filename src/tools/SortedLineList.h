#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vocalix::tools {

// A list of lines kept in sorted order that drops a line equal to one already held. Lines are
// compared with or without regard to letter case (Windows-1251 rules); without it, "Иван" and
// "ИВАН" are one line and the first one added is kept.
class SortedLineList {
public:
    explicit SortedLineList(bool ignoreCase = true);

    // Adds the line unless an equal one is held; true when it was added.
    bool Add(std::string_view line);
    // Adds each line in turn (a file loaded into the list: sorted, duplicates dropped).
    void AddLines(const std::vector<std::string>& lines);
    bool Contains(std::string_view line) const;
    size_t Size() const { return m_lines.size(); }
    bool Empty() const { return m_lines.empty(); }
    void Clear() { m_lines.clear(); }
    // The lines in their sorted order.
    std::vector<std::string> Lines() const;
    // The lines each followed by CR LF, as a page shows the list.
    std::string Text() const;

    // The order of the list: negative, zero or positive. Letters compare by their case-folded
    // value with "ё" right after "е"; other characters by their code. With regard to case,
    // lines that differ only in case are ordered by their bytes.
    static int Compare(std::string_view a, std::string_view b, bool ignoreCase);

private:
    struct Less {
        bool ignoreCase;
        bool operator()(const std::string& a, const std::string& b) const {
            return Compare(a, b, ignoreCase) < 0;
        }
    };
    bool m_ignoreCase;
    std::set<std::string, Less> m_lines;
};

} // namespace vocalix::tools
