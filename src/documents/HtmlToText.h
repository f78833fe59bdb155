#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Markup stripping for web pages and FB2 books, and the pictures FB2 books carry.
namespace vocalix::documents {

// Plain text of an HTML page or FB2 book (Windows-1251). Fills pictures (cleared first) with
// one item per "<binary" element: its lower-case opening tag followed by its raw content up
// to and including the "<" of the closing tag.
std::string HtmlToText(std::string_view text, std::vector<std::string>& pictures);

// Standard Base64; characters outside the alphabet are skipped, padding ends the data and an
// incomplete last group is dropped.
std::string Base64Decode(std::string_view text);

// File extension of a picture item by its content type (".???" when none is known).
std::string PictureExtension(std::string_view item);

// Writes each picture item of a known type to folder/"Image-"K+1 ext, creating the folder
// when missing. Returns false with a message in *error (Windows-1251) when the folder cannot
// be created; a picture that cannot be written is skipped and reported the same way.
bool SavePictures(const std::vector<std::string>& pictures, const std::filesystem::path& folder,
                  std::string* error = nullptr);

// Creates a book's picture folder when missing. Returns false with a message in *error
// (Windows-1251) when it cannot be created.
bool MakePictureFolder(const std::filesystem::path& folder, std::string* error = nullptr);

// Writes one picture as folder/"Image-"number ext (ext with its dot). Returns false with a
// message in *error (Windows-1251) when it cannot be written.
bool WritePicture(const std::filesystem::path& folder, std::size_t number, std::string_view ext,
                  std::string_view bytes, std::string* error = nullptr);

} // namespace vocalix::documents
