#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The pictures of the current text: which folder, which files, which one is shown.
namespace vocalix::shell {

// The pictures (.bmp .jpg .jpeg .png .gif, in any case) of folder, sorted without regard to
// case (Image-10 before Image-2).
std::vector<std::filesystem::path> ListPictures(const std::filesystem::path& folder);

// Deletes a folder with everything in it. Refuses what is not a real folder (a link, a file)
// and the root or home folder. True on success.
bool DeleteDirectory(const std::filesystem::path& folder);

class PicturePanel {
public:
    // Rereads the folder of textFile. storedIndex is the page's remembered picture; the index
    // is bounded to the list. A picture folder that is left empty is removed (only when
    // nothing at all is in it: a saved web page's folder also holds files that are not ours).
    // True when there are pictures to show.
    bool Refresh(const std::filesystem::path& textFile, int storedIndex);
    void Clear();

    bool Empty() const { return m_list.empty(); }
    int Index() const { return m_index; }
    int Count() const { return static_cast<int>(m_list.size()); }
    const std::filesystem::path& Folder() const { return m_folder; }
    const std::filesystem::path& Current() const { return m_list.at(static_cast<size_t>(m_index)); }
    const std::vector<std::filesystem::path>& List() const { return m_list; }

    // One step, wrapping round at both ends.
    void Prev();
    void Next();

    // Deletes the picture shown. False (with nothing changed) when it could not be deleted.
    bool DeleteCurrent();
    // Deletes the pictures of the folder, and the folder when nothing else is left in it.
    // False when a picture could not be deleted.
    bool DeleteAll();

private:
    std::filesystem::path m_folder;
    std::vector<std::filesystem::path> m_list;
    int m_index = 0;
};

} // namespace vocalix::shell
