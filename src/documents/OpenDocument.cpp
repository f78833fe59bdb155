#include "documents/OpenDocument.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "documents/CodePages.h"
#include "documents/DocumentFiles.h"
#include "documents/HtmlToText.h"
#include "documents/RtfReader.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace vocalix::documents {
namespace fs = std::filesystem;

namespace {

bool IsWebPage(const std::string& ext) {
    return ext == ".htm" || ext == ".html" || ext == ".shtml";
}

bool SameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

std::string NamePart(const std::string& fileName) {
    const std::size_t slash = fileName.find_last_of('/');
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

// A web page's picture folder goes along with it in batch conversion.
void CopyWebPagePictures(const std::string& fileName, const std::string& targetFolder) {
    std::error_code ec;
    const fs::path source(fileName);
    if (SameFolder(source.parent_path().empty() ? fs::path(".") : source.parent_path(),
                   fs::path(targetFolder)))
        return;
    std::string folder;
    const std::string dotFiles = ChangeFileExt(fileName, ".files");
    const std::string underscoreFiles = ChangeFileExt(fileName, "") + "_files";
    if (fs::is_directory(dotFiles, ec))
        folder = dotFiles;
    if (fs::is_directory(underscoreFiles, ec))
        folder = underscoreFiles;
    if (!folder.empty())
        CopyDirectory(folder, fs::path(targetFolder) / NamePart(folder), false, true);
}

} // namespace

bool WrittenAtOnce(const std::string& lowerExt, bool repaired) {
    static const std::string kConverted = ".htm|.html|.shtml|.fb2|.|.rtf|.doc";
    return repaired || (!lowerExt.empty() && kConverted.find(lowerExt) != std::string::npos);
}

bool ReadDocumentText(const std::string& fileName, std::string& text, bool& repaired,
                      std::vector<std::string>* pictures) {
    repaired = false;
    std::string bytes;
    if (!base::ReadFileBytes(fileName, bytes))
        return false;
    text = base::ToCrLf(bytes);
    bytes.clear();
    bytes.shrink_to_fit();
    const std::string ext = LowerExtension(fileName);
    if (ext == ".rtf") {
        text = base::ToCrLf(RtfToText(text));
        return true;
    }
    repaired = RepairCodePage(text) != CodePageRepair::None;
    if (IsWebPage(ext) || ext == ".fb2") {
        std::vector<std::string> found;
        text = HtmlToText(text, found);
        if (pictures)
            *pictures = std::move(found);
    }
    return true;
}

OpenResult OpenDocument(const std::string& fileName, const std::string& targetFolder,
                        bool picImport, const OfficeHooks& office) {
    OpenResult result;
    result.fileName = fileName;
    const std::string ext = LowerExtension(fileName);
    const bool isWord = ext == ".doc" || ext == ".docx";

    if (picImport && (isWord || ext == ".rtf") && office.wordToHtml) {
        const std::string html = office.wordToHtml(fileName, targetFolder);
        if (!html.empty()) {
            std::error_code ec;
            fs::remove(html, ec); // only its picture folder is wanted
        }
    }
    if (picImport && IsWebPage(ext) && !targetFolder.empty())
        CopyWebPagePictures(fileName, targetFolder);

    if (isWord) {
        const std::string textFile =
            office.wordToText ? office.wordToText(fileName, targetFolder) : std::string();
        if (textFile.empty()) {
            result.fileName.clear();
            result.status = OpenResult::Status::WordMissing;
            return result;
        }
        std::string bytes;
        if (!base::ReadFileBytes(textFile, bytes))
            return result;
        result.fileName = textFile;
        result.text = base::ToCrLf(bytes);
        result.status = OpenResult::Status::Loaded;
        return result;
    }

    std::vector<std::string> pictures;
    std::string text;
    if (!ReadDocumentText(fileName, text, result.repaired, &pictures))
        return result; // Unreadable: the page keeps its text and its name
    if (picImport && ext == ".fb2" && !pictures.empty()) {
        // The pictures stay beside the source, also in batch conversion.
        SavePictures(pictures, ChangeFileExt(fileName, ".files"), &result.pictureError);
    }
    pictures.clear();
    result.text = std::move(text);
    result.status = OpenResult::Status::Loaded;

    if (ext != ".dic" && ext != ".ini" && ext != ".txt")
        result.fileName = ChangeFileExt(result.fileName, ".txt");
    if (!targetFolder.empty())
        result.fileName = targetFolder + NamePart(result.fileName);
    if (WrittenAtOnce(ext, result.repaired)) {
        std::string error;
        if (base::WriteFileAtomic(result.fileName, result.text, &error))
            result.written = true;
        else
            result.writeError = base::Cp("Не удалось записать файл ") +
                                base::Utf8ToCp1251(result.fileName) + ": " +
                                base::Utf8ToCp1251(error);
    }
    return result;
}

} // namespace vocalix::documents
