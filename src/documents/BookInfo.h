#pragma once

#include "documents/EpubReader.h"

#include <filesystem>
#include <string>
#include <string_view>

class QString;

// What a book says about itself (title and author), read without converting the book.
namespace vocalix::documents {

// A title or name of a book's description on one line (blanks collapsed), in Windows-1251.
std::string DescriptionText(const QString& text);

// Title and authors from the description of an FB2 book (the file's bytes, or their start
// up to the end of the description), in whatever code page the book declares.
BookInfo Fb2BookInfo(std::string_view bytes);

// The book information of a file: an FB2 or EPUB book's own, or for any other file that of
// the book beside it with the same name (opening a book makes a text file named like it).
// Empty when nothing is known or the book cannot be read.
BookInfo ReadBookInfo(const std::filesystem::path& file);

} // namespace vocalix::documents
