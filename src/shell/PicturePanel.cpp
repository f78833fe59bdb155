#include "shell/PicturePanel.h"

#include "textprep/DictionaryPanel.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <system_error>

namespace vocalix::shell {
namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool IsPicture(const fs::path& p) {
    const std::string ext = Lower(p.extension().string());
    return ext == ".bmp" || ext == ".jpg" || ext == ".jpeg" || ext == ".png" || ext == ".gif";
}

} // namespace

std::vector<fs::path> ListPictures(const fs::path& folder) {
    std::vector<fs::path> list;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (IsPicture(entry.path()))
            list.push_back(entry.path());
    std::sort(list.begin(), list.end(), [](const fs::path& a, const fs::path& b) {
        return Lower(a.filename().string()) < Lower(b.filename().string());
    });
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return list;
}

bool DeleteDirectory(const fs::path& folder) {
    std::error_code ec;
    if (folder.empty() || fs::is_symlink(folder, ec) || !fs::is_directory(folder, ec))
        return false;
    const fs::path real = fs::canonical(folder, ec);
    const char* home = std::getenv("HOME");
    if (ec || real == real.root_path() || (home && fs::equivalent(real, home, ec)))
        return false;
    fs::remove_all(folder, ec);
    return !ec && !fs::exists(folder, ec);
}

void PicturePanel::Clear() {
    m_folder.clear();
    m_list.clear();
}

bool PicturePanel::Refresh(const fs::path& textFile, int storedIndex) {
    Clear();
    m_folder = textprep::PictureFolder(textFile);
    if (m_folder.empty())
        return false;
    m_list = ListPictures(m_folder);
    if (m_list.empty()) {
        std::error_code ec;
        fs::remove(m_folder, ec); // only an empty folder goes
        m_folder.clear();
        return false;
    }
    m_index = std::clamp(storedIndex, 0, Count() - 1);
    return true;
}

void PicturePanel::Prev() {
    if (!m_list.empty())
        m_index = m_index <= 0 ? Count() - 1 : m_index - 1;
}

void PicturePanel::Next() {
    if (!m_list.empty())
        m_index = m_index >= Count() - 1 ? 0 : m_index + 1;
}

bool PicturePanel::DeleteCurrent() {
    std::error_code ec;
    return !m_list.empty() && fs::remove(Current(), ec) && !ec;
}

bool PicturePanel::DeleteAll() {
    bool ok = true;
    for (const fs::path& p : ListPictures(m_folder)) {
        std::error_code ec;
        fs::remove(p, ec);
        ok = ok && !ec;
    }
    std::error_code ec;
    if (!m_folder.empty() && fs::is_empty(m_folder, ec))
        fs::remove(m_folder, ec);
    Clear();
    return ok;
}

} // namespace vocalix::shell
