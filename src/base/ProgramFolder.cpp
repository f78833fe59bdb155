#include "base/ProgramFolder.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace vocalix::base {
namespace fs = std::filesystem;

ProgramFolderEnvironment CurrentEnvironment() {
    ProgramFolderEnvironment env;
    if (const char* x = std::getenv("XDG_DATA_HOME"))
        env.xdgDataHome = x;
    if (const char* h = std::getenv("HOME"))
        env.home = h;
    env.isWritable = IsWritableFolder;
    return env;
}

bool IsWritableFolder(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return false;
    const fs::path probe = folder / (".vocalix-write-test-" + std::to_string(::getpid()));
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    fs::remove(probe, ec);
    return true;
}

fs::path InstalledDataFolder(const fs::path& exeDir) {
    std::error_code ec;
    if (fs::is_directory(exeDir / "dic", ec))
        return exeDir;
    return (exeDir / ".." / "share" / "vocalix").lexically_normal();
}

fs::path UserDataFolder(const ProgramFolderEnvironment& env) {
    // The XDG rules ignore a relative $XDG_DATA_HOME.
    if (!env.xdgDataHome.empty() && fs::path(env.xdgDataHome).is_absolute())
        return fs::path(env.xdgDataHome) / "vocalix";
    return fs::path(env.home) / ".local" / "share" / "vocalix";
}

bool SeedProgramFolder(const fs::path& from, const fs::path& to, std::string* error) {
    std::error_code ec;
    fs::create_directories(to, ec);
    if (ec) {
        if (error)
            *error = ec.message();
        return false;
    }
    if (!fs::is_directory(from, ec))
        return true; // nothing installed to seed from
    for (const auto& entry : fs::directory_iterator(from, ec)) {
        const fs::path target = to / entry.path().filename();
        if (fs::exists(fs::symlink_status(target, ec)))
            continue;
        std::error_code copyError;
        if (entry.is_directory(ec)) {
            fs::copy(entry.path(), target, fs::copy_options::recursive, copyError);
        } else if (entry.is_regular_file(ec)) {
            // The executables themselves stay where they are installed.
            const auto perms = entry.status(ec).permissions();
            if ((perms & fs::perms::owner_exec) != fs::perms::none)
                continue;
            fs::copy_file(entry.path(), target, copyError);
        }
        if (copyError) {
            if (error)
                *error = target.string() + ": " + copyError.message();
            return false;
        }
    }
    return true;
}

fs::path ResolveProgramFolder(const fs::path& exeDir, const ProgramFolderEnvironment& env) {
    if (env.isWritable(exeDir))
        return exeDir;
    const fs::path user = UserDataFolder(env);
    if (!SeedProgramFolder(InstalledDataFolder(exeDir), user) && !env.isWritable(user))
        return exeDir;
    return user;
}

} // namespace vocalix::base
