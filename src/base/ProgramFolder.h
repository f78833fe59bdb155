#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace vocalix::base {

// What deciding on the program folder looks at besides the executable's own folder.
struct ProgramFolderEnvironment {
    std::string xdgDataHome; // $XDG_DATA_HOME, may be empty
    std::string home;        // $HOME
    // Whether the program may create files in a folder.
    std::function<bool(const std::filesystem::path&)> isWritable;
};

// The environment of the running process.
ProgramFolderEnvironment CurrentEnvironment();

// Whether a file can be created in the folder (tried for real: permission bits say little
// about read-only mounts).
bool IsWritableFolder(const std::filesystem::path& folder);

// Where an installed program keeps its read-only data: the executable's folder when it holds
// "dic/", else "../share/vocalix" beside it.
std::filesystem::path InstalledDataFolder(const std::filesystem::path& exeDir);

// Whether the executable runs from an installation (bin/ beside share/vocalix/, no "dic/" of
// its own) rather than from a program folder such as the build tree.
bool IsInstalledLayout(const std::filesystem::path& exeDir);

// The per-user folder: $XDG_DATA_HOME/vocalix, or ~/.local/share/vocalix.
std::filesystem::path UserDataFolder(const ProgramFolderEnvironment& env);

// Copies the files directly in `from` and those of its data folders (dic/, help/, profiles/,
// sounds/) that `to` does not have yet, each written atomically, so the user's own files are
// never overwritten; executables, hidden files and other folders stay behind. The manual in
// "help/" belongs to the program and is brought up to date with the installed one. Returns
// false (and fills *error) on failure.
bool SeedProgramFolder(const std::filesystem::path& from, const std::filesystem::path& to,
                       std::string* error = nullptr);

// The program folder: the executable's folder when it is writable and not an installation;
// otherwise the per-user folder, created and seeded from the installed data. Never empty; on
// failure to create the per-user folder the installed data folder is returned (reading still
// works there).
std::filesystem::path ResolveProgramFolder(const std::filesystem::path& exeDir,
                                           const ProgramFolderEnvironment& env);

} // namespace vocalix::base
