#include "base/AtomicFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using vocalix::base::ReadFileBytes;
using vocalix::base::SpecialFileKind;
using vocalix::base::WriteFileAtomic;

namespace {

struct Folder {
    fs::path path = fs::temp_directory_path() / ("vocalix-atomic-" + std::to_string(::getpid()));
    Folder() {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Folder() { fs::remove_all(path); }
    std::string Read(const char* name) const {
        std::string bytes;
        EXPECT_TRUE(ReadFileBytes(path / name, bytes));
        return bytes;
    }
};

} // namespace

TEST(WriteFileAtomic, FollowsLinksAndKeepsPermissions) {
    Folder f;
    ASSERT_TRUE(WriteFileAtomic(f.path / "real.txt", "old"));
    fs::permissions(f.path / "real.txt", fs::perms(0664));
    fs::create_directories(f.path / "sub");
    fs::create_symlink("../real.txt", f.path / "sub" / "rel");  // relative to the link's folder
    fs::create_symlink(f.path / "sub" / "rel", f.path / "abs"); // a chain of two
    const mode_t umask = ::umask(022);                          // would narrow 0664 to 0644
    ASSERT_TRUE(WriteFileAtomic(f.path / "abs", "new"));
    ::umask(umask);
    EXPECT_TRUE(fs::is_symlink(f.path / "abs"));
    EXPECT_TRUE(fs::is_symlink(f.path / "sub" / "rel"));
    EXPECT_EQ(f.Read("real.txt"), "new");
    EXPECT_EQ(fs::status(f.path / "real.txt").permissions(), fs::perms(0664)); // not the umask's
    // A dangling link gets its file created where it points.
    fs::create_symlink("made.txt", f.path / "dangling");
    ASSERT_TRUE(WriteFileAtomic(f.path / "dangling", "x"));
    EXPECT_TRUE(fs::is_symlink(f.path / "dangling"));
    EXPECT_EQ(f.Read("made.txt"), "x");
    // A loop is an error, not a hang.
    fs::create_symlink("loop2", f.path / "loop1");
    fs::create_symlink("loop1", f.path / "loop2");
    EXPECT_FALSE(WriteFileAtomic(f.path / "loop1", "x"));
}

TEST(WriteFileAtomic, RefusesWhatIsNotARegularFile) {
    Folder f;
    ASSERT_EQ(::mkfifo((f.path / "fifo").c_str(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string sockPath = (f.path / "sock").string();
    ASSERT_LT(sockPath.size(), sizeof addr.sun_path);
    sockPath.copy(addr.sun_path, sockPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    fs::create_directories(f.path / "dir");
    fs::create_symlink("fifo", f.path / "to-fifo");
    const std::pair<fs::path, const char*> cases[] = {
        {f.path / "fifo", "именованный канал"},
        {f.path / "to-fifo", "именованный канал"},
        {f.path / "sock", "сокет"},
        {f.path / "dir", "папка"},
        {"/dev/null", "устройство"},
    };
    for (const auto& [target, kind] : cases) {
        SCOPED_TRACE(target.string());
        EXPECT_EQ(SpecialFileKind(target), kind);
        std::string error;
        EXPECT_FALSE(WriteFileAtomic(target, "data", &error));
        EXPECT_NE(error.find(kind), std::string::npos) << error;
        // Reading them is refused as well, at once: a FIFO without a writer would block, a
        // device like /dev/zero never end.
        std::string bytes;
        if (target.filename() != "sock") { // a socket cannot even be opened
            EXPECT_FALSE(ReadFileBytes(target, bytes, &error));
            EXPECT_NE(error.find(kind), std::string::npos) << error;
        }
    }
    std::string bytes, error;
    EXPECT_FALSE(ReadFileBytes("/dev/zero", bytes, &error));
    EXPECT_EQ(error, "/dev/zero: это устройство, а не обычный файл");
    ::close(sock);
    EXPECT_TRUE(fs::is_fifo(f.path / "fifo"));
    EXPECT_TRUE(fs::is_socket(f.path / "sock"));
    EXPECT_TRUE(fs::is_directory(f.path / "dir"));
    EXPECT_EQ(SpecialFileKind(f.path / "missing"), "");
    // Nothing of the refused writes is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(f.path), fs::directory_iterator()), 4);
}

// A process ended by a signal leaves none of its temporary files, and the files already renamed
// into place stay.
TEST(TemporaryFiles, GoWhenTheProcessIsEndedBySignal) {
    const Folder dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        vocalix::base::RemoveTemporaryFilesOnTermination();
        const fs::path done = vocalix::base::TempPathBeside(dir.path / "done.mp3");
        const fs::path open = vocalix::base::TempPathBeside(dir.path / "open.mp3");
        if (!WriteFileAtomic(done, "x") || !WriteFileAtomic(open, "half"))
            ::_exit(1);
        fs::rename(done, dir.path / "done.mp3");
        ::raise(SIGTERM);
        ::_exit(2); // not reached: the signal still ends the process
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"done.mp3"});
}
