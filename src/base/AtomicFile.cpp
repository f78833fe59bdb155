#include "base/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace vocalix::base {
namespace {

// The usual reasons a file cannot be written or read, in the user's words; the system's own
// text (English in most locales) only for the rare rest.
std::string Reason(int code) {
    switch (code) {
    case ENOSPC:
        return "на диске нет места";
    case EDQUOT:
        return "превышена дисковая квота";
    case EFBIG:
        return "файл больше, чем разрешено записывать";
    case EACCES:
    case EPERM:
        return "нет прав доступа";
    case EROFS:
        return "диск доступен только для чтения";
    case ENOENT:
        return "нет такого файла или папки";
    case ENOTDIR:
        return "часть пути не является папкой";
    case EISDIR:
        return "это папка";
    case ELOOP:
        return "символические ссылки замкнуты в кольцо";
    case ENAMETOOLONG:
        return "слишком длинное имя";
    case EIO:
        return "ошибка ввода-вывода";
    default:
        return std::strerror(code);
    }
}

void SetError(std::string* error, const std::string& what, const std::filesystem::path& file) {
    if (error)
        *error = what + " " + file.string() + ": " + Reason(errno);
}

std::string RandomSuffix() {
    static thread_local std::mt19937_64 rng{std::random_device{}()};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string s;
    for (int i = 0; i < 8; ++i)
        s += digits[rng() % 36];
    return s;
}

// The file a chain of symbolic links ends at (it need not exist); false for a loop.
bool FollowLinks(std::filesystem::path& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::error_code ec;
        const std::filesystem::path to = std::filesystem::read_symlink(path, ec);
        if (ec)
            return true;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    errno = ELOOP;
    return false;
}

std::string KindOf(mode_t mode) {
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return "папка";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "устройство";
    if (S_ISFIFO(mode))
        return "именованный канал";
    if (S_ISSOCK(mode))
        return "сокет";
    return "не обычный файл";
}

// The names TempPathBeside gave, for a signal handler to remove: fixed slots reused in turn,
// each marked complete only once its name is written in full.
struct TemporaryName {
    std::atomic<bool> complete{false};
    char path[PATH_MAX];
};
constexpr std::size_t kTemporaryNames = 256;
TemporaryName g_temporaryNames[kTemporaryNames];
std::atomic<std::size_t> g_nextTemporaryName{0};

void RememberTemporary(const std::filesystem::path& temp) {
    std::error_code ec;
    const std::string path = std::filesystem::absolute(temp, ec).string();
    if (ec || path.size() >= PATH_MAX)
        return;
    TemporaryName& slot = g_temporaryNames[g_nextTemporaryName++ % kTemporaryNames];
    slot.complete.store(false, std::memory_order_release);
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.complete.store(true, std::memory_order_release);
}

void RemoveTemporariesAndEnd(int number) {
    RemoveTemporaryFilesNow();
    ::signal(number, SIG_DFL);
    ::raise(number);
}

} // namespace

std::filesystem::path TempPathBeside(const std::filesystem::path& target) {
    const std::filesystem::path dir =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::filesystem::path temp =
        dir / ("." + target.filename().string() + ".tmp-" + RandomSuffix());
    RememberTemporary(temp);
    return temp;
}

void RemoveTemporaryFilesNow() noexcept {
    for (TemporaryName& slot : g_temporaryNames)
        if (slot.complete.load(std::memory_order_acquire))
            ::unlink(slot.path);
}

void RemoveTemporaryFilesOnTermination() {
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = RemoveTemporariesAndEnd;
        sigemptyset(&action.sa_mask);
        ::sigaction(number, &action, nullptr);
    }
}

std::string SpecialFileKind(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return KindOf(st.st_mode);
}

bool WriteFileAtomic(const std::filesystem::path& link, std::string_view bytes,
                     std::string* error) {
    namespace fs = std::filesystem;
    fs::path target = link;
    if (!FollowLinks(target)) {
        SetError(error, "не удалось пройти по ссылке", link);
        return false;
    }
    const fs::path temp = TempPathBeside(target);

    // Keep the permissions of a file we replace; new files get the usual 0666 & ~umask.
    mode_t mode = 0666;
    bool replacing = false;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        // Renaming over a device, FIFO or socket would silently turn it into a plain file.
        if (const std::string kind = KindOf(st.st_mode); !kind.empty()) {
            if (error)
                *error = link.string() + ": это " + kind + ", а не обычный файл";
            return false;
        }
        mode = st.st_mode & 07777;
        replacing = true;
    }

    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        SetError(error, "не удалось создать временный файл", temp);
        return false;
    }
    if (replacing) { // the umask narrowed the mode given to open
        (void)::fchmod(fd, mode);
        if (::geteuid() == 0)
            (void)!::fchown(fd, st.st_uid, st.st_gid);
    }
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            SetError(error, "не удалось записать временный файл", temp);
            ::close(fd);
            ::unlink(temp.c_str());
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    // A full disk may only show at fsync or close (network and delayed-allocation file
    // systems); the descriptor is closed either way.
    const bool synced = ::fsync(fd) == 0;
    const int syncError = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        if (!synced)
            errno = syncError;
        SetError(error, "не удалось записать на диск временный файл", temp);
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        SetError(error, "не удалось заменить файл", target);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool ReadFileBytes(const std::filesystem::path& file, std::string& bytes, std::string* error,
                   std::size_t spare) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        SetError(error, "не удалось открыть", file);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        // A FIFO or a device would block or never end; only plain files are documents.
        if (error)
            *error = file.string() + ": это " + KindOf(st.st_mode) + ", а не обычный файл";
        ::close(fd);
        return false;
    }
    // The descriptor was opened without blocking only so that a FIFO could not hold us.
    (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    bytes.clear();
    if (st.st_size > 0)
        bytes.reserve(static_cast<size_t>(st.st_size) + spare);
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            SetError(error, "не удалось прочитать", file);
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

} // namespace vocalix::base
