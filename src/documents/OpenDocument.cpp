#include "documents/OpenDocument.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "documents/BookInfo.h"
#include "documents/CodePages.h"
#include "documents/DocumentFiles.h"
#include "documents/EpubReader.h"
#include "documents/HtmlToText.h"
#include "documents/RtfReader.h"
#include "textprep/DictionaryPanel.h"

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

// The same file: one inode when both exist, else the same name once links are resolved.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    const fs::path ca = fs::weakly_canonical(a, ec);
    if (ec)
        return a == b;
    const fs::path cb = fs::weakly_canonical(b, ec);
    return ec ? a == b : ca == cb;
}

std::string NamePart(const std::string& fileName) {
    const std::size_t slash = fileName.find_last_of('/');
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

// A web page's picture folder goes along with it in batch conversion.
void CopyWebPagePictures(const std::string& fileName, const std::string& targetFolder) {
    const fs::path source(fileName);
    if (SameFolder(source.parent_path().empty() ? fs::path(".") : source.parent_path(),
                   fs::path(targetFolder)))
        return;
    const fs::path folder = textprep::PictureFolder(fileName);
    if (!folder.empty())
        CopyDirectory(folder, fs::path(targetFolder) / folder.filename(), false, true);
}

} // namespace

bool WrittenAtOnce(const std::string& lowerExt, bool repaired) {
    static const std::string kConverted = ".htm|.html|.shtml|.fb2|.|.rtf|.doc";
    return repaired || (!lowerExt.empty() && kConverted.find(lowerExt) != std::string::npos);
}

bool ReadDocumentText(const std::string& fileName, std::string& text, bool& repaired,
                      std::vector<std::string>* pictures, CodePageRepair* codePage,
                      std::string* error) {
    if (LowerExtension(fileName) == ".epub") {
        repaired = false;
        if (codePage)
            *codePage = CodePageRepair::None;
        if (pictures)
            pictures->clear();
        EpubBook book;
        if (!ReadEpub(fileName, false, book, error))
            return false;
        text = std::move(book.text);
        return true;
    }
    std::string bytes;
    // Room for CR before LF in lines of 16 bytes and more, so that most texts with LF line
    // ends get CR LF without a second copy (room never written costs no memory).
    std::error_code ec;
    const auto size = std::filesystem::file_size(fileName, ec);
    std::string why;
    if (!base::ReadFileBytes(fileName, bytes, &why, ec ? 0 : size / 16)) {
        if (error)
            *error = base::Utf8ToCp1251(why);
        return false;
    }
    text = DocumentTextFromBytes(std::move(bytes), LowerExtension(fileName), repaired, pictures,
                                 codePage);
    return true;
}

std::string DocumentTextFromBytes(std::string bytes, const std::string& lowerExt, bool& repaired,
                                  std::vector<std::string>* pictures, CodePageRepair* codePage) {
    repaired = false;
    if (codePage)
        *codePage = CodePageRepair::None;
    // UTF-16 is converted before the line ends are touched: its LF is two bytes.
    const bool utf16 = HasUtf16Mark(bytes);
    // Converted in place where possible: a book is held once, not twice.
    std::string text = utf16 ? Utf16ToWin(bytes) : std::move(bytes);
    base::ToCrLfInPlace(text);
    bytes.clear();
    bytes.shrink_to_fit();
    if (lowerExt == ".rtf" && !utf16)
        return base::ToCrLf(RtfToText(text));
    const CodePageRepair repair = utf16 ? CodePageRepair::Utf16 : RepairCodePage(text);
    repaired = repair != CodePageRepair::None;
    if (codePage)
        *codePage = repair;
    if (IsWebPage(lowerExt) || lowerExt == ".fb2") {
        std::vector<std::string> found;
        text = HtmlToText(text, found);
        if (pictures)
            *pictures = std::move(found);
    }
    return text;
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
            if (office.lastError)
                result.officeError = office.lastError();
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

    std::string text;
    if (ext == ".epub") {
        EpubBook book;
        if (!ReadEpub(fileName, picImport, book, &result.readError))
            return result; // Unreadable: the page keeps its text and its name
        // The pictures stay beside the source, also in batch conversion, as FB2 pictures do.
        if (picImport && !book.pictures.empty())
            SaveBookPictures(book.pictures, ChangeFileExt(fileName, ".files"),
                             &result.pictureError);
        text = std::move(book.text);
        result.bookTitle = std::move(book.info.title);
        result.bookAuthor = std::move(book.info.author);
    } else {
        std::vector<std::string> pictures;
        if (!ReadDocumentText(fileName, text, result.repaired, &pictures, &result.codePage,
                              &result.readError))
            return result; // Unreadable: the page keeps its text and its name
        if (picImport && ext == ".fb2" && !pictures.empty()) {
            // The pictures stay beside the source, also in batch conversion.
            SavePictures(pictures, ChangeFileExt(fileName, ".files"), &result.pictureError);
        }
        if (ext == ".fb2") {
            BookInfo info = ReadBookInfo(fileName);
            result.bookTitle = std::move(info.title);
            result.bookAuthor = std::move(info.author);
        }
    }
    result.text = std::move(text);
    result.status = OpenResult::Status::Loaded;

    if (ext != ".dic" && ext != ".ini" && ext != ".txt")
        result.fileName = ChangeFileExt(result.fileName, ".txt");
    if (!targetFolder.empty())
        result.fileName = targetFolder + NamePart(result.fileName);
    // A book is converted like FB2 (the list of converted formats itself stays as it is).
    if (!WrittenAtOnce(ext, result.repaired) && ext != ".epub")
        return result;
    if (SameFile(result.fileName, fileName)) {
        // Writing here would replace the original bytes with a guess about their code page.
        result.modified = true;
        result.notice = base::Cp("Текст прочитан в кодировке ") + CodePageName(result.codePage) +
                        base::Cp("; файл на диске не изменён до сохранения");
        return result;
    }
    std::string error;
    const std::string written = WriteNewText(result.fileName, result.text, &error);
    if (!written.empty()) {
        result.fileName = written;
        result.written = true;
    } else {
        result.writeError = base::Cp("Не удалось записать файл ") +
                            base::Utf8ToCp1251(result.fileName) + ": " + base::Utf8ToCp1251(error);
    }
    return result;
}

std::string FreeTextName(const std::string& fileName, const std::string& bytes) {
    const auto usable = [&bytes](const std::string& name) {
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(name, ec);
        if (ec || !fs::exists(st))
            return !fs::is_symlink(st); // a dangling link is somebody's name too
        std::string existing;
        return fs::is_regular_file(name, ec) && fs::file_size(name, ec) == bytes.size() &&
               base::ReadFileBytes(name, existing) && existing == bytes;
    };
    if (usable(fileName))
        return fileName;
    const std::string stem = ChangeFileExt(fileName, "");
    const std::string ext = fileName.substr(stem.size());
    for (unsigned k = 2;; ++k) {
        const std::string name = stem + " (" + std::to_string(k) + ")" + ext;
        if (usable(name))
            return name;
    }
}

std::string WriteNewText(const std::string& fileName, const std::string& text, std::string* error) {
    const std::string name = FreeTextName(fileName, text);
    std::error_code ec;
    if (fs::exists(name, ec)) // the same text is already there
        return name;
    return base::WriteFileAtomic(name, text, error) ? name : std::string();
}

std::string CodePageName(CodePageRepair codePage) {
    switch (codePage) {
    case CodePageRepair::Dos:
        return "DOS (866)";
    case CodePageRepair::Koi:
        return "KOI8-R";
    case CodePageRepair::Utf8:
        return "UTF-8";
    case CodePageRepair::Utf16:
        return "UTF-16";
    case CodePageRepair::None:
        break;
    }
    return "Windows-1251";
}

} // namespace vocalix::documents
