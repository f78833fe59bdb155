#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vocalix::base {

// Writes the bytes to a temporary file beside the target, flushes it to disk and renames it
// over the target, so that a failure never leaves a half-written file. A symbolic link is
// followed (the file it leads to is replaced, the link stays), a target that exists and is
// not a regular file (folder, device, FIFO, socket) is refused, and a replaced file keeps its
// permissions. Returns false and fills *error (if given; UTF-8, Russian) when anything fails;
// the target is then untouched and no temporary file is left.
bool WriteFileAtomic(const std::filesystem::path& target, std::string_view bytes,
                     std::string* error = nullptr);

// What a path that exists but is not a regular file is, in words for a message ("папка",
// "устройство", ...; UTF-8), following links; "" for a regular file or nothing at all.
std::string SpecialFileKind(const std::filesystem::path& path);

// A fresh hidden name beside the target for writing it before a rename (".name.tmp-xxxxxxxx").
// The process remembers the last few hundred such names for RemoveTemporaryFilesNow.
std::filesystem::path TempPathBeside(const std::filesystem::path& target);

// Removes every file still under a name TempPathBeside gave in this process (a name already
// renamed or removed is gone and stays so). Safe to call from a signal handler.
void RemoveTemporaryFilesNow() noexcept;

// From now on SIGINT, SIGTERM and SIGHUP (those not ignored, as under nohup) first remove the
// temporary files and then end the process by the same signal, as they would have.
void RemoveTemporaryFilesOnTermination();

// Reads a whole file as bytes. Returns false (and fills *error, UTF-8) when it cannot be read
// or is not a regular file (a FIFO or device is refused at once, never waited on).
// `spare` more bytes of capacity are reserved for a caller that grows the text in place.
bool ReadFileBytes(const std::filesystem::path& file, std::string& bytes,
                   std::string* error = nullptr, std::size_t spare = 0);

} // namespace vocalix::base
