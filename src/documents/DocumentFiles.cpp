#include "documents/DocumentFiles.h"

#include "base/AtomicFile.h"
#include "documents/CodePages.h"

#include <system_error>

namespace vocalix::documents {
namespace fs = std::filesystem;

namespace {

bool IsNameChar(unsigned char c) {
    return c == ' ' || c == '-' || c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
           (c >= 'A' && c <= 'Z') || c >= 192 || c == 168 || c == 184;
}

// Position of the extension's dot in the last path component, or npos.
std::size_t ExtensionDot(const std::string& fileName) {
    const std::size_t dot = fileName.find_last_of("./\\");
    if (dot == std::string::npos || fileName[dot] != '.')
        return std::string::npos;
    return dot;
}

} // namespace

std::string NameFromFirstLines(std::string_view text) {
    std::string_view line;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view trimmed = TrimControls(text.substr(pos, end - pos));
        if (!trimmed.empty()) {
            line = trimmed;
            break;
        }
        if (end == text.size())
            break;
        // CR LF is one line end.
        pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    line = line.substr(0, line.find_first_of(".,;:!?"));
    std::string name;
    for (unsigned char c : line)
        if (IsNameChar(c))
            name += static_cast<char>(c);
    if (name.size() > 64)
        name.resize(64);
    if (name.find_first_not_of(' ') == std::string::npos)
        return "Untitled";
    return name;
}

std::string FileTitle(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string LowerExtension(const std::string& fileName) {
    const std::size_t dot = ExtensionDot(fileName);
    if (dot == std::string::npos)
        return {};
    std::string ext = fileName.substr(dot);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

std::string ChangeFileExt(const std::string& fileName, std::string_view ext) {
    const std::size_t dot = ExtensionDot(fileName);
    std::string out = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    out += ext;
    return out;
}

bool CopyDirectory(const fs::path& source, const fs::path& target, bool stopOnFailure,
                   bool overwrite) {
    std::error_code ec;
    if (!fs::is_directory(source, ec))
        return false;
    fs::create_directories(target, ec);
    if (!fs::is_directory(target, ec))
        return false;
    bool result = false;
    fs::directory_iterator it(source, ec), end;
    if (ec)
        return false;
    for (; it != end; it.increment(ec)) {
        if (ec)
            return false;
        const fs::path& entry = it->path();
        const fs::path to = target / entry.filename();
        // A link to a folder is not followed: it could lead back into the tree being copied.
        if (fs::is_directory(fs::symlink_status(entry, ec))) {
            result = CopyDirectory(entry, to, stopOnFailure, overwrite);
        } else if (!overwrite && fs::exists(to, ec)) {
            result = true;
        } else {
            std::string bytes;
            result = base::ReadFileBytes(entry, bytes) && base::WriteFileAtomic(to, bytes);
        }
        if (!result && stopOnFailure)
            break;
    }
    return result;
}

} // namespace vocalix::documents
