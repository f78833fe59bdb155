#include "documents/BookInfo.h"

#include "base/Cp1251.h"
#include "documents/CodePages.h"
#include "documents/DocumentFiles.h"
#include "textprep/StringRoutines.h"

#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <fstream>

namespace vocalix::documents {
namespace fs = std::filesystem;

namespace {

// The description comes before the body; a book whose description is not found within this
// much is read no further (a UTF-16 book, where the search cannot see it, is read up to it).
constexpr std::size_t kHeadLimit = 8u << 20;

// The encoding named in the XML declaration, in lower case; "" when there is none.
std::string DeclaredEncoding(std::string_view bytes) {
    if (bytes.substr(0, 5) != "<?xml")
        return {};
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    const std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return {};
    const std::size_t open = declaration.find_first_of("\"'", at);
    if (open == std::string_view::npos)
        return {};
    const std::size_t close = declaration.find(declaration[open], open + 1);
    if (close == std::string_view::npos)
        return {};
    return textprep::LowerCase(declaration.substr(open + 1, close - open - 1));
}

// The book's text decoded by its own declaration. Handed over as a QString, the reader
// takes it as it is and never decodes it again by the declaration (whose code pages it
// mostly does not know).
QString Fb2Unicode(std::string_view bytes) {
    if (HasUtf16Mark(bytes))
        return QString::fromStdString(base::Cp1251ToUtf8(Utf16ToWin(bytes)));
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    const std::string encoding = DeclaredEncoding(bytes);
    if (encoding.empty() || encoding == "utf-8" || encoding == "utf8")
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    std::string win;
    if (encoding.rfind("koi8", 0) == 0)
        win = KoiToWin(bytes);
    else if (encoding.find("866") != std::string::npos)
        win = DosToWin(bytes);
    else
        win = std::string(bytes); // windows-1251, or a code page nobody reads otherwise
    return QString::fromStdString(base::Cp1251ToUtf8(win));
}

// "First Middle Last" of an <author> element (the reader stands on its start), or its
// nickname when it has no name.
QString AuthorName(QXmlStreamReader& xml) {
    QString first, middle, last, nickname;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        QString* part = name == u"first-name"    ? &first
                        : name == u"middle-name" ? &middle
                        : name == u"last-name"   ? &last
                        : name == u"nickname"    ? &nickname
                                                 : nullptr;
        if (part)
            *part = xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
        else
            xml.skipCurrentElement();
    }
    QStringList parts;
    for (const QString* p : {&first, &middle, &last})
        if (!p->isEmpty())
            parts << *p;
    return parts.isEmpty() ? nickname : parts.join(' ');
}

std::string ReadHead(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) // a FIFO or a device would be read forever
        return {};
    std::ifstream in(file, std::ios::binary);
    std::string head;
    char block[1 << 16];
    while (in && head.size() < kHeadLimit) {
        in.read(block, sizeof block);
        const std::size_t from = head.size() > 16 ? head.size() - 16 : 0;
        head.append(block, static_cast<std::size_t>(in.gcount()));
        const std::size_t end = head.find("</description>", from);
        if (end != std::string::npos) {
            head.resize(end); // the rest is the book itself
            break;
        }
    }
    return head;
}

} // namespace

std::string DescriptionText(const QString& text) {
    return Utf8ToWin(text.simplified().toStdString());
}

BookInfo Fb2BookInfo(std::string_view bytes) {
    QXmlStreamReader xml(Fb2Unicode(bytes));
    QString title;
    QStringList authors;
    bool inTitleInfo = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"title-info")
            break;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        if (name == u"body")
            break;
        if (name == u"title-info") {
            inTitleInfo = true;
        } else if (inTitleInfo && name == u"book-title" && title.isEmpty()) {
            title = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (inTitleInfo && name == u"author") {
            const QString author = AuthorName(xml);
            if (!author.isEmpty())
                authors << author;
        }
    }
    // A damaged description still gives what was read before the damage.
    return {DescriptionText(title), DescriptionText(authors.join(", "))};
}

BookInfo ReadBookInfo(const fs::path& file) {
    const std::string ext = LowerExtension(file.string());
    BookInfo info;
    if (ext == ".fb2") {
        info = Fb2BookInfo(ReadHead(file));
    } else if (ext == ".epub") {
        ReadEpubInfo(file.string(), info);
    } else {
        for (const char* bookExt : {".fb2", ".FB2", ".epub", ".EPUB"}) {
            fs::path book = file;
            book.replace_extension(bookExt);
            std::error_code ec;
            if (fs::is_regular_file(book, ec))
                return ReadBookInfo(book);
        }
    }
    return info;
}

} // namespace vocalix::documents
