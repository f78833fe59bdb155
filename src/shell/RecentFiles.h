#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vocalix::shell {

// The items of the "Недавние" submenu: file entries, newest first, followed (once there has
// been an entry) by a separator and the clearing entry "ОЧИСТИТЬ СПИСОК". The widget mirrors
// this list; the rules about limits and order live here. Names are Windows-1251 paths.
class RecentFiles {
public:
    // At most this many entries are taken from "$.rec" at start-up.
    static constexpr int kMaxLoaded = 15;
    // While running, a new name is added while the submenu holds fewer items than this.
    static constexpr int kMaxItems = 16;

    // Caption of the clearing entry (Windows-1251).
    static const std::string& ClearCaption();

    // Builds the list from the text of "$.rec": blank lines and names of missing files are
    // dropped, the first 15 of the rest become entries. A line that carries a menu
    // accelerator "&" of an older program is taken without it when only that name exists.
    void Load(const std::string& recText, const std::function<bool(const std::string&)>& exists);

    // Puts a name at the top: moves it when present; otherwise adds it while there is room,
    // else the oldest entry gives way.
    void Change(const std::string& fileName);

    // Removes the first entry naming the file (a recent file that has disappeared), if the
    // submenu holds at least three items.
    void Remove(const std::string& fileName);

    // Removes every item, the separator and clearing entry included.
    void Clear();

    // The text of "$.rec": one name per line, CR LF; empty when there are no entries.
    std::string SaveText() const;

    const std::vector<std::string>& Entries() const { return m_entries; }
    bool HasClearItem() const { return m_hasClearItem; }
    // Entries plus the separator and the clearing entry when present.
    int ItemCount() const;

private:
    std::vector<std::string> m_entries;
    bool m_hasClearItem = false;
};

} // namespace vocalix::shell
