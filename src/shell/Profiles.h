#pragma once

#include <QString>
#include <filesystem>
#include <string>

// Named copies of the settings file in "profiles/" of the program folder.
namespace vocalix::shell {

// The folder of the profiles.
std::filesystem::path ProfilesFolder(const std::filesystem::path& programDir);

// Copies a settings file line by line (CR LF line ends) to `to`, atomically. A source that
// cannot be read, or that holds no section at all (not a settings file), is refused with a
// Russian message (Windows-1251) in *error, and `to` stays as it was.
bool CopySettingsFile(const std::filesystem::path& from, const std::filesystem::path& to,
                      std::string* error);

// Starts a new instance of the running program with no arguments, not waiting for it.
bool StartNewInstance();

// The document named on the command line, opened into the active page at start-up (kept as
// a property of the application, so that test programs' own arguments are never taken).
void SetCommandLineFile(const QString& path);
QString CommandLineFile();

} // namespace vocalix::shell
