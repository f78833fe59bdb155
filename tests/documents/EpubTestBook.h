#pragma once

// EPUB books made in the test from the FB2 book of the corpus: its sections become the
// XHTML documents, its pictures image files, its title and author the package metadata.
#include "base/AtomicFile.h"
#include "documents/HtmlToText.h"

#include <zip.h>

#include <filesystem>
#include <string>
#include <vector>

namespace vocalix::documents::test {

struct ZipEntry {
    std::string name;
    std::string bytes;
    bool stored = false; // kept uncompressed (as "mimetype" must be)
    bool aesKey = false; // encrypted with a password
};

struct PictureSource {
    std::string id;        // file name, as in the FB2 book
    std::string mediaType; // "image/png"...
    std::string bytes;
};

// The parts of the corpus book an EPUB is made from (UTF-8).
struct SourceBook {
    std::string title;
    std::string author;
    std::vector<std::string> sections; // the XHTML body of each section, in reading order
    std::vector<PictureSource> pictures;
};

inline std::string Between(const std::string& text, const std::string& open,
                           const std::string& close, std::size_t from = 0) {
    const std::size_t a = text.find(open, from);
    if (a == std::string::npos)
        return {};
    const std::size_t b = text.find(close, a + open.size());
    return b == std::string::npos ? std::string()
                                  : text.substr(a + open.size(), b - a - open.size());
}

inline std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

// Empty when the file cannot be read.
inline SourceBook LoadSourceBook(const std::filesystem::path& fb2) {
    std::string text;
    SourceBook book;
    if (!base::ReadFileBytes(fb2, text))
        return book;
    book.title = Between(text, "<book-title>", "</book-title>");
    const std::string author = Between(text, "<author>", "</author>");
    for (const char* part : {"first-name", "middle-name", "last-name"}) {
        const std::string name =
            Between(author, std::string("<") + part + ">", std::string("</") + part + ">");
        if (!name.empty())
            book.author += (book.author.empty() ? "" : " ") + name;
    }
    for (std::size_t at = text.find("<section"); at != std::string::npos;
         at = text.find("<section", at + 1)) {
        const std::size_t start = text.find('>', at) + 1;
        std::string body = text.substr(start, text.find("</section>", start) - start);
        body = ReplaceAll(body, "<image l:href=\"#", "<img alt=\"\" src=\"../images/");
        book.sections.push_back(body);
    }
    for (std::size_t at = text.find("<binary"); at != std::string::npos;
         at = text.find("<binary", at + 1)) {
        const std::size_t gt = text.find('>', at);
        const std::string tag = text.substr(at, gt - at);
        book.pictures.push_back({Between(tag, "id=\"", "\""), Between(tag, "content-type=\"", "\""),
                                 Base64Decode(Between(text, ">", "</binary>", at))});
    }
    return book;
}

inline std::string Xhtml(const std::string& title, const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE html>\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\">\n<head><title>" +
           title + "</title></head>\n<body>\n" + body + "\n</body>\n</html>\n";
}

inline std::string Container(const std::string& opfPath) {
    return "<?xml version=\"1.0\"?>\n<container version=\"1.0\" "
           "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n<rootfiles>\n"
           "<rootfile full-path=\"" +
           opfPath +
           "\" media-type=\"application/oebps-package+xml\"/>\n</rootfiles>\n</container>\n";
}

// An EPUB of the book: version 2 keeps everything in "OEBPS/" with an NCX table of contents;
// version 3 has its package in "book/", its pictures above it in "images/", a navigation
// document outside the reading order and an illustrator besides the author. In both the
// manifest lists the sections backwards, so only the spine gives the reading order, and the
// documents' file names hold a space (percent-encoded in the links).
struct EpubLayout {
    std::vector<ZipEntry> entries;
    std::vector<std::string> readingOrder; // the XHTML documents as written, spine order
};

inline EpubLayout MakeEpub(const SourceBook& book, int version) {
    const bool v3 = version == 3;
    const std::string folder = v3 ? "book/" : "OEBPS/";
    const std::string imagesHref = v3 ? "../images/" : "images/";
    const std::string imagesPath = v3 ? "images/" : "OEBPS/images/";
    EpubLayout epub;
    epub.entries.push_back({"mimetype", "application/epub+zip", true});
    epub.entries.push_back({"META-INF/container.xml", Container(folder + "package.opf")});
    std::string manifest, spine;
    for (std::size_t k = book.sections.size(); k-- > 0;) {
        const std::string id = "s" + std::to_string(k + 1);
        manifest += "<item id=\"" + id + "\" href=\"text/part%20" + std::to_string(k + 1) +
                    ".xhtml\" media-type=\"application/xhtml+xml\"/>\n";
    }
    for (std::size_t k = 0; k < book.sections.size(); ++k) {
        const std::string doc =
            Xhtml("Part " + std::to_string(k + 1),
                  ReplaceAll(book.sections[k], "../images/", v3 ? "../../images/" : "../images/"));
        epub.entries.push_back({folder + "text/part " + std::to_string(k + 1) + ".xhtml", doc});
        epub.readingOrder.push_back(doc);
        spine += "<itemref idref=\"s" + std::to_string(k + 1) + "\"/>\n";
    }
    for (const PictureSource& p : book.pictures) {
        manifest += "<item id=\"img-" + p.id + "\" href=\"" + imagesHref + p.id +
                    "\" media-type=\"" + p.mediaType + "\"/>\n";
        epub.entries.push_back({imagesPath + p.id, p.bytes});
    }
    std::string metadata =
        "<dc:title>" + book.title + "</dc:title>\n<dc:language>ru</dc:language>\n";
    if (v3) {
        metadata += "<dc:creator id=\"a\">" + book.author +
                    "</dc:creator>\n<meta refines=\"#a\" property=\"role\" "
                    "scheme=\"marc:relators\">aut</meta>\n<dc:creator id=\"i\">Иллюстратор "
                    "Тестов</dc:creator>\n<meta refines=\"#i\" property=\"role\">ill</meta>\n"
                    "<meta property=\"dcterms:modified\">2026-01-01T00:00:00Z</meta>\n";
        manifest += "<item id=\"nav\" href=\"nav.xhtml\" properties=\"nav\" "
                    "media-type=\"application/xhtml+xml\"/>\n";
        epub.entries.push_back(
            {folder + "nav.xhtml", Xhtml("Содержание", "<nav>Оглавление</nav>")});
    } else {
        metadata += "<dc:creator opf:role=\"aut\">" + book.author + "</dc:creator>\n";
        manifest += "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>\n";
        epub.entries.push_back({folder + "toc.ncx", "<?xml version=\"1.0\"?><ncx/>"});
    }
    const std::string opf =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<package "
                    "xmlns=\"http://www.idpf.org/2007/opf\" unique-identifier=\"id\" version=\"") +
        (v3 ? "3.0" : "2.0") +
        "\">\n<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
        "xmlns:opf=\"http://www.idpf.org/2007/opf\">\n<dc:identifier id=\"id\">test-" +
        std::to_string(version) + "</dc:identifier>\n" + metadata + "</metadata>\n<manifest>\n" +
        manifest + "</manifest>\n<spine" + (v3 ? "" : " toc=\"ncx\"") + ">\n" + spine +
        "</spine>\n</package>\n";
    epub.entries.push_back({folder + "package.opf", opf});
    return epub;
}

// Packs the entries with libzip. Returns false when the archive could not be written.
inline bool WriteZip(const std::filesystem::path& file, const std::vector<ZipEntry>& entries) {
    int code = 0;
    zip_t* zip = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip)
        return false;
    for (const ZipEntry& e : entries) {
        zip_source_t* source = zip_source_buffer(zip, e.bytes.data(), e.bytes.size(), 0);
        const zip_int64_t index =
            source ? zip_file_add(zip, e.name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(zip);
            return false;
        }
        if (e.stored)
            zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_STORE, 0);
        if (e.aesKey &&
            zip_file_set_encryption(zip, zip_uint64_t(index), ZIP_EM_AES_256, "secret") != 0) {
            zip_discard(zip);
            return false;
        }
    }
    return zip_close(zip) == 0;
}

} // namespace vocalix::documents::test
