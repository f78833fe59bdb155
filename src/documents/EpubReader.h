#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// EPUB books (versions 2 and 3): the text of the reading order, the book's own title and
// author, and its pictures.
namespace vocalix::documents {

// What a book says about itself (Windows-1251; empty where its package says nothing).
struct BookInfo {
    std::string title;
    std::string author; // several authors joined by ", "
};

// One picture of a book: its extension with the dot (".png", ".jpeg"...) and its bytes.
struct BookPicture {
    std::string ext;
    std::string bytes;
};

struct EpubBook {
    // Windows-1251, CR LF: the title on a line of its own (unless the first text already
    // starts with it), then the text of each document of the reading order.
    std::string text;
    BookInfo info;
    std::vector<BookPicture> pictures; // in the order of the package, when asked for
};

// How much an archive may unpack, so that a crafted book cannot exhaust the memory: every
// entry read, and all of them together, at most so many bytes; an entry bigger than
// ratioFrom that unpacks to more than ratio times its packed size is refused outright.
struct EpubLimits {
    std::uint64_t entry = 64ull << 20;
    std::uint64_t total = 512ull << 20;
    std::uint64_t ratio = 100;
    std::uint64_t ratioFrom = 1ull << 20;
};

// Reads an EPUB book from a file. Returns false with a message in *error (Windows-1251)
// when it is not a readable book; pictures are read only when withPictures is set, and a
// picture that cannot be read is left out.
bool ReadEpub(const std::string& fileName, bool withPictures, EpubBook& book,
              std::string* error = nullptr, const EpubLimits& limits = {});

// The same for a book already in memory.
bool ReadEpubBytes(std::string_view bytes, bool withPictures, EpubBook& book,
                   std::string* error = nullptr, const EpubLimits& limits = {});

// Only the title and author of a book file, from its package; false with a message in
// *error (Windows-1251) when it is not a readable book.
bool ReadEpubInfo(const std::string& fileName, BookInfo& info, std::string* error = nullptr);

// Writes the pictures as "Image-1.png", "Image-2.jpeg"... into folder, creating it when
// missing. Returns false with a message in *error (Windows-1251) on the first failure.
bool SaveBookPictures(const std::vector<BookPicture>& pictures, const std::string& folder,
                      std::string* error = nullptr);

} // namespace vocalix::documents
