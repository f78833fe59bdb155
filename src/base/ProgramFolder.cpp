#include "base/ProgramFolder.h"

#include "base/AtomicFile.h"

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

namespace {

// The installed data relative to the installed executables (bin/ and share/ of one prefix).
#ifndef VOCALIX_DATA_FROM_BIN
#define VOCALIX_DATA_FROM_BIN "../share/vocalix"
#endif

fs::path ShareFolderBeside(const fs::path& exeDir) {
    return (exeDir / VOCALIX_DATA_FROM_BIN).lexically_normal();
}

} // namespace

fs::path InstalledDataFolder(const fs::path& exeDir) {
    std::error_code ec;
    if (fs::is_directory(exeDir / "dic", ec))
        return exeDir;
    return ShareFolderBeside(exeDir);
}

fs::path UserDataFolder(const ProgramFolderEnvironment& env) {
    // The XDG rules ignore a relative $XDG_DATA_HOME.
    if (!env.xdgDataHome.empty() && fs::path(env.xdgDataHome).is_absolute())
        return fs::path(env.xdgDataHome) / "vocalix";
    return fs::path(env.home) / ".local" / "share" / "vocalix";
}

namespace {

// The folders of a program folder that hold its data (the rest of a program folder may be
// anything, such as a build tree).
bool IsDataFolder(const fs::path& name) {
    for (const char* folder : {"dic", "help", "profiles", "sounds"})
        if (name == folder)
            return true;
    return false;
}

bool IsHidden(const fs::path& p) {
    const std::string name = p.filename().string();
    return !name.empty() && name.front() == '.';
}

// Copies one file unless the user has it already; the program's own files are replaced when
// the installed copy differs.
bool SeedFile(const fs::path& source, const fs::path& target, bool ownedByProgram,
              std::string* error) {
    std::error_code ec;
    const bool exists = fs::exists(fs::symlink_status(target, ec));
    if (exists && !ownedByProgram)
        return true;
    std::string bytes;
    if (!ReadFileBytes(source, bytes, error))
        return false;
    std::string old;
    if (exists && ReadFileBytes(target, old) && old == bytes)
        return true;
    return WriteFileAtomic(target, bytes, error);
}

} // namespace

bool SeedProgramFolder(const fs::path& from, const fs::path& to, std::string* error) {
    std::error_code ec;
    fs::create_directories(to, ec);
    if (ec) {
        if (error)
            *error = to.string() + ": " + ec.message();
        return false;
    }
    if (!fs::is_directory(from, ec))
        return true; // nothing installed to seed from
    // One file that cannot be copied does not keep the others from arriving.
    bool ok = true;
    const auto fail = [&](const std::string& what) {
        if (ok && error)
            *error = what;
        ok = false;
    };
    fs::recursive_directory_iterator it(from, ec), end;
    if (ec)
        fail(from.string() + ": " + ec.message());
    for (; it != end; it.increment(ec)) {
        if (ec) {
            fail(from.string() + ": " + ec.message());
            break;
        }
        const fs::path source = it->path();
        if (IsHidden(source)) {
            it.disable_recursion_pending();
            continue;
        }
        const fs::path relative = source.lexically_relative(from);
        const fs::path target = to / relative;
        std::error_code e;
        if (it->is_directory(e) && it.depth() == 0 && !IsDataFolder(relative)) {
            it.disable_recursion_pending(); // a program folder may be a build tree
            continue;
        }
        if (it->is_directory(e)) {
            fs::create_directories(target, e);
            if (e)
                fail(target.string() + ": " + e.message());
            continue;
        }
        if (!it->is_regular_file(e))
            continue;
        // The executables themselves stay where they are installed.
        if ((it->status(e).permissions() & fs::perms::owner_exec) != fs::perms::none)
            continue;
        std::string why;
        if (!SeedFile(source, target, *relative.begin() == "help", &why))
            fail(why);
    }
    return ok;
}

bool IsInstalledLayout(const fs::path& exeDir) {
    std::error_code ec;
    return !fs::is_directory(exeDir / "dic", ec) && fs::is_directory(ShareFolderBeside(exeDir), ec);
}

fs::path ResolveProgramFolder(const fs::path& exeDir, const ProgramFolderEnvironment& env) {
    // An installation never writes beside its executable, even where it could (root, or a
    // prefix the user owns): that folder is shared by every user and holds no data.
    const bool installed = IsInstalledLayout(exeDir);
    if (!installed && env.isWritable(exeDir))
        return exeDir;
    const fs::path user = UserDataFolder(env);
    const fs::path data = InstalledDataFolder(exeDir);
    if (!SeedProgramFolder(data, user) && !env.isWritable(user))
        return installed ? data : exeDir;
    return user;
}

} // namespace vocalix::base
