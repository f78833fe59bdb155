#include "documents/EpubReader.h"

#include "base/Cp1251.h"
#include "documents/BookInfo.h"
#include "documents/CodePages.h"
#include "documents/HtmlToText.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <zip.h>

#include <filesystem>
#include <memory>
#include <set>
#include <unordered_map>

namespace vocalix::documents {
namespace {

using base::Cp;

// A name inside the archive for a message (the archive keeps its names in UTF-8).
std::string Shown(const std::string& path) {
    return Utf8ToWin(path);
}

// The archive path an href names, seen from the folder base ("" or ending in "/"): hrefs
// are percent-encoded URLs, paths of container.xml are not. False for a link to anything
// but a file of this archive, above all for one that climbs out of it with "..".
bool ResolveHref(std::string_view base, std::string_view href, bool percentEncoded,
                 std::string& path) {
    href = href.substr(0, href.find('#'));
    const std::size_t colon = href.find(':');
    if (href.empty() || (colon != std::string_view::npos && colon < href.find('/')))
        return false; // "http://...", "file:..."
    std::string name(href);
    if (percentEncoded)
        name = QByteArray::fromPercentEncoding(QByteArray(name.data(), qsizetype(name.size())))
                   .toStdString();
    if (name.empty())
        return false;
    const std::string joined = name.front() == '/' ? name : std::string(base) + name;
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= joined.size()) {
        std::size_t slash = joined.find('/', pos);
        if (slash == std::string::npos)
            slash = joined.size();
        const std::string part = joined.substr(pos, slash - pos);
        pos = slash + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (parts.empty())
                return false;
            parts.pop_back();
            continue;
        }
        if (part.find('\0') != std::string::npos)
            return false;
        parts.push_back(part);
    }
    if (parts.empty())
        return false;
    path.clear();
    for (const std::string& part : parts)
        path += (path.empty() ? "" : "/") + part;
    return true;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

struct ZipDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// The archive with the unpacking limits applied to everything read from it.
class Archive {
public:
    Archive(zip_t* archive, const EpubLimits& limits) : m_zip(archive), m_limits(limits) {}

    bool Has(const std::string& path) const { return Locate(path) >= 0; }

    // Reads one entry whole. False with a message when it is missing or cannot be read.
    bool Read(const std::string& path, std::string& bytes, std::string& error) {
        const zip_int64_t index = Locate(path);
        if (index < 0) {
            error = Cp("В книге нет файла ") + Shown(path);
            return false;
        }
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_zip.get(), zip_uint64_t(index), 0, &st) != 0 ||
            !(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_COMP_SIZE)) {
            error = Cp("Файл ") + Shown(path) + Cp(" в книге повреждён");
            return false;
        }
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
            error = Cp("Файл ") + Shown(path) + Cp(" в книге зашифрован");
            return false;
        }
        if (st.size > m_limits.entry) {
            error = Cp("Файл ") + Shown(path) + Cp(" в книге слишком велик: ") +
                    std::to_string(st.size >> 20) + Cp(" МБ после распаковки");
            return false;
        }
        if (st.size > m_limits.ratioFrom &&
            (st.comp_size == 0 || st.size / st.comp_size > m_limits.ratio)) {
            error = Cp("Файл ") + Shown(path) +
                    Cp(" в книге сжат неправдоподобно сильно (архивная бомба?)");
            return false;
        }
        if (st.size > m_limits.total - m_total) {
            error = Cp("Книга слишком велика: больше ") + std::to_string(m_limits.total >> 20) +
                    Cp(" МБ после распаковки");
            return false;
        }
        std::unique_ptr<zip_file_t, ZipClose> file(
            zip_fopen_index(m_zip.get(), zip_uint64_t(index), 0));
        if (!file) {
            error = Cp("Файл ") + Shown(path) + Cp(" в книге не удаётся распаковать");
            return false;
        }
        // Never more than the size the archive declares: an entry that unpacks to more is
        // damaged or hostile.
        bytes.assign(st.size, '\0');
        zip_uint64_t done = 0;
        while (done < st.size) {
            const zip_int64_t n = zip_fread(file.get(), bytes.data() + done, st.size - done);
            if (n <= 0)
                break;
            done += zip_uint64_t(n);
        }
        char extra;
        if (done != st.size || zip_fread(file.get(), &extra, 1) != 0) {
            bytes.clear();
            error = Cp("Файл ") + Shown(path) + Cp(" в книге повреждён");
            return false;
        }
        m_total += st.size;
        return true;
    }

private:
    zip_int64_t Locate(const std::string& path) const {
        const zip_int64_t exact = zip_name_locate(m_zip.get(), path.c_str(), 0);
        // Books packed on case-insensitive file systems do not always match their own links.
        return exact >= 0 ? exact : zip_name_locate(m_zip.get(), path.c_str(), ZIP_FL_NOCASE);
    }

    std::unique_ptr<zip_t, ZipDiscard> m_zip;
    EpubLimits m_limits;
    std::uint64_t m_total = 0;
};

QByteArray Bytes(const std::string& text) {
    return QByteArray::fromRawData(text.data(), qsizetype(text.size()));
}

std::string XmlError(const std::string& path, const QXmlStreamReader& xml) {
    return Cp("Файл ") + Shown(path) + Cp(" в книге повреждён (строка ") +
           std::to_string(xml.lineNumber()) + ")";
}

// The package file named by META-INF/container.xml.
bool FindPackage(Archive& archive, std::string& opfPath, std::string& error) {
    const std::string container = "META-INF/container.xml";
    if (!archive.Has(container)) {
        error = Cp("Это не книга EPUB: в архиве нет файла ") + container;
        return false;
    }
    std::string bytes;
    if (!archive.Read(container, bytes, error))
        return false;
    QXmlStreamReader xml(Bytes(bytes));
    std::string first, package;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"rootfile")
            continue;
        const std::string fullPath = xml.attributes().value("full-path").toString().toStdString();
        const bool isPackage =
            xml.attributes().value("media-type") == u"application/oebps-package+xml";
        if (first.empty())
            first = fullPath;
        if (isPackage && package.empty())
            package = fullPath;
    }
    if (xml.hasError()) {
        error = XmlError(container, xml);
        return false;
    }
    if (package.empty())
        package = first;
    if (package.empty() || !ResolveHref("", package, false, opfPath)) {
        error = Cp("В файле ") + container + Cp(" книги не указано её описание (OPF)");
        return false;
    }
    if (!archive.Has(opfPath)) {
        error = Cp("В книге нет файла описания ") + Shown(opfPath);
        return false;
    }
    return true;
}

struct ManifestItem {
    std::string href;
    std::string path; // empty when the href leads out of the archive
    std::string mediaType;
};

struct Creator {
    std::string id;
    std::string role;
    QString name;
};

struct Package {
    std::vector<ManifestItem> manifest;
    std::unordered_map<std::string, std::size_t> byId;
    std::vector<std::string> spine; // idrefs
    QString title;
    std::vector<Creator> creators;
};

bool ReadPackage(Archive& archive, const std::string& opfPath, Package& package,
                 std::string& error) {
    std::string bytes;
    if (!archive.Read(opfPath, bytes, error))
        return false;
    const std::string base = FolderOf(opfPath);
    std::unordered_map<std::string, std::string> refinedRoles; // EPUB 3 "role" metadata
    QXmlStreamReader xml(Bytes(bytes));
    bool inMetadata = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"metadata")
            inMetadata = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        const QXmlStreamAttributes attributes = xml.attributes();
        if (name == u"metadata") {
            inMetadata = true;
        } else if (inMetadata && name == u"title") {
            const QString title = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (package.title.isEmpty())
                package.title = title;
        } else if (inMetadata && name == u"creator") {
            Creator creator;
            creator.id = attributes.value("id").toString().toStdString();
            for (const QXmlStreamAttribute& a : attributes)
                if (a.name() == u"role") // EPUB 2: opf:role
                    creator.role = a.value().toString().trimmed().toStdString();
            creator.name = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            package.creators.push_back(std::move(creator));
        } else if (inMetadata && name == u"meta" && attributes.value("property") == u"role") {
            const std::string refines = attributes.value("refines").toString().toStdString();
            const QString role = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (refines.size() > 1 && refines[0] == '#')
                refinedRoles[refines.substr(1)] = role.trimmed().toStdString();
        } else if (name == u"item") {
            ManifestItem item;
            item.href = attributes.value("href").toString().toStdString();
            item.mediaType = attributes.value("media-type").toString().trimmed().toStdString();
            if (!ResolveHref(base, item.href, true, item.path))
                item.path.clear();
            package.byId.emplace(attributes.value("id").toString().toStdString(),
                                 package.manifest.size());
            package.manifest.push_back(std::move(item));
        } else if (name == u"itemref") {
            package.spine.push_back(attributes.value("idref").toString().toStdString());
        }
    }
    if (xml.hasError()) {
        error = XmlError(opfPath, xml);
        return false;
    }
    for (Creator& creator : package.creators)
        if (creator.role.empty() && refinedRoles.count(creator.id))
            creator.role = refinedRoles[creator.id];
    return true;
}

// The archive paths META-INF/encryption.xml lists: their bytes are not what they seem.
std::set<std::string> EncryptedPaths(Archive& archive) {
    std::set<std::string> paths;
    const std::string listing = "META-INF/encryption.xml";
    std::string bytes, error;
    if (!archive.Has(listing) || !archive.Read(listing, bytes, error))
        return paths;
    QXmlStreamReader xml(Bytes(bytes));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"CipherReference")
            continue;
        std::string path;
        if (ResolveHref("", xml.attributes().value("URI").toString().toStdString(), true, path))
            paths.insert(path);
    }
    return paths;
}

std::string Author(const std::vector<Creator>& creators) {
    const auto isAuthor = [](const Creator& c) { return c.role.empty() || c.role == "aut"; };
    bool anyAuthor = false;
    for (const Creator& c : creators)
        anyAuthor = anyAuthor || isAuthor(c);
    std::string author;
    for (const Creator& c : creators) {
        const std::string name = DescriptionText(c.name);
        if ((!anyAuthor || isAuthor(c)) && !name.empty())
            author += (author.empty() ? "" : ", ") + name;
    }
    return author;
}

bool IsTextDocument(const std::string& mediaType) {
    return mediaType == "application/xhtml+xml" || mediaType == "text/html" ||
           mediaType == "text/x-oeb1-document";
}

// A content document in Windows-1251 with CR LF, whatever Unicode form it came in.
std::string DocumentToWin(std::string bytes) {
    if (HasUtf16Mark(bytes))
        return base::ToCrLf(Utf16ToWin(bytes));
    if (IsValidMultibyteUtf8(bytes))
        return base::ToCrLf(Utf8ToWin(bytes));
    std::string text = base::ToCrLf(bytes);
    RepairCodePage(text);
    return text;
}

std::string_view FirstLine(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = TrimControls(text.substr(pos, end - pos));
        if (!line.empty())
            return line;
        pos = end + 1;
    }
    return {};
}

bool ReadBook(zip_t* zip, bool withPictures, EpubBook& book, std::string* errorOut,
              const EpubLimits& limits) {
    Archive archive(zip, limits);
    std::string error;
    const auto fail = [&](std::string message) {
        if (errorOut)
            *errorOut = std::move(message);
        return false;
    };
    std::string opfPath;
    Package package;
    if (!FindPackage(archive, opfPath, error) || !ReadPackage(archive, opfPath, package, error))
        return fail(error);
    const std::set<std::string> encrypted = EncryptedPaths(archive);

    book = EpubBook();
    book.info.title = DescriptionText(package.title);
    book.info.author = Author(package.creators);
    std::string body;
    bool anyDocument = false;
    for (const std::string& idref : package.spine) {
        const auto found = package.byId.find(idref);
        if (found == package.byId.end())
            return fail(Cp("В порядке чтения книги указан неизвестный раздел \"") +
                        Utf8ToWin(idref) + "\"");
        const ManifestItem& item = package.manifest[found->second];
        if (!IsTextDocument(item.mediaType))
            continue; // a picture page or the like has no text
        if (item.path.empty())
            return fail(Cp("Ссылка ведёт за пределы книги: ") + Utf8ToWin(item.href));
        if (encrypted.count(item.path))
            return fail(Cp("Книга защищена от копирования: файл ") + Shown(item.path) +
                        Cp(" зашифрован"));
        std::string bytes;
        if (!archive.Read(item.path, bytes, error))
            return fail(error);
        std::vector<std::string> unused;
        std::string text = HtmlToText(DocumentToWin(std::move(bytes)), unused);
        if (!body.empty() && body.back() != '\n')
            body += "\r\n";
        body += text;
        anyDocument = true;
    }
    if (!anyDocument)
        return fail(Cp("В книге нет ни одного текста для чтения"));
    if (!book.info.title.empty() && FirstLine(body) != book.info.title)
        book.text = book.info.title + "\r\n\r\n";
    book.text += body;

    if (withPictures) {
        for (const ManifestItem& item : package.manifest) {
            const std::string ext = PictureExtension(item.mediaType);
            std::string bytes;
            if (item.mediaType.rfind("image/", 0) != 0 || ext == ".???" || item.path.empty() ||
                encrypted.count(item.path) || !archive.Read(item.path, bytes, error))
                continue;
            book.pictures.push_back({ext, std::move(bytes)});
        }
    }
    return true;
}

// The archive of a book file, or null with a message in *error.
zip_t* OpenBookFile(const std::string& fileName, std::string* error) {
    // Opening a FIFO or a device would wait or read forever.
    std::error_code ec;
    int code = ZIP_ER_OPEN;
    zip_t* zip = std::filesystem::is_regular_file(fileName, ec)
                     ? zip_open(fileName.c_str(), ZIP_RDONLY, &code)
                     : nullptr;
    if (!zip && error)
        *error = code == ZIP_ER_NOZIP ? Cp("Это не книга EPUB: файл не является архивом ZIP")
                 : code == ZIP_ER_OPEN || code == ZIP_ER_READ || code == ZIP_ER_NOENT
                     ? Cp("Не удалось открыть файл книги")
                     : Cp("Архив книги повреждён");
    return zip;
}

} // namespace

bool ReadEpub(const std::string& fileName, bool withPictures, EpubBook& book, std::string* error,
              const EpubLimits& limits) {
    zip_t* zip = OpenBookFile(fileName, error);
    return zip && ReadBook(zip, withPictures, book, error, limits);
}

bool ReadEpubInfo(const std::string& fileName, BookInfo& info, std::string* error) {
    zip_t* zip = OpenBookFile(fileName, error);
    if (!zip)
        return false;
    Archive archive(zip, EpubLimits());
    std::string opfPath, message;
    Package package;
    if (!FindPackage(archive, opfPath, message) ||
        !ReadPackage(archive, opfPath, package, message)) {
        if (error)
            *error = std::move(message);
        return false;
    }
    info.title = DescriptionText(package.title);
    info.author = Author(package.creators);
    return true;
}

bool ReadEpubBytes(std::string_view bytes, bool withPictures, EpubBook& book, std::string* error,
                   const EpubLimits& limits) {
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zipError);
    zip_t* zip = source ? zip_open_from_source(source, ZIP_RDONLY, &zipError) : nullptr;
    const int code = zip_error_code_zip(&zipError);
    zip_error_fini(&zipError);
    if (!zip) {
        if (source)
            zip_source_free(source);
        if (error)
            *error = code == ZIP_ER_NOZIP ? Cp("Это не книга EPUB: файл не является архивом ZIP")
                                          : Cp("Архив книги повреждён");
        return false;
    }
    return ReadBook(zip, withPictures, book, error, limits);
}

bool SaveBookPictures(const std::vector<BookPicture>& pictures, const std::string& folder,
                      std::string* error) {
    if (!MakePictureFolder(folder, error))
        return false;
    for (std::size_t k = 0; k < pictures.size(); ++k)
        if (!WritePicture(folder, k + 1, pictures[k].ext, pictures[k].bytes, error))
            return false;
    return true;
}

} // namespace vocalix::documents
