#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vocalix::base {

// Writes the bytes to a temporary file beside the target, flushes it to disk and renames it
// over the target, so that a failure never leaves a half-written file. Returns false and
// fills *error (if given) when anything fails; the target is then untouched.
bool WriteFileAtomic(const std::filesystem::path& target, std::string_view bytes,
                     std::string* error = nullptr);

// A fresh hidden name beside the target for writing it before a rename (".name.tmp-xxxxxxxx").
std::filesystem::path TempPathBeside(const std::filesystem::path& target);

// Reads a whole file as bytes. Returns false (and fills *error) when it cannot be read.
bool ReadFileBytes(const std::filesystem::path& file, std::string& bytes,
                   std::string* error = nullptr);

} // namespace vocalix::base
