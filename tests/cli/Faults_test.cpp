// Faults from outside: vocalix-cli killed while it writes, run against a file size limit, fed a
// huge file; the office suite hanging. Each case checks that nothing the user had is lost.
#include "CliTestFixture.h"

#include "base/QtProcess.h"
#include "documents/OfficeConversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>

namespace fs = std::filesystem;
using vocalix::base::Cp;

namespace {

// vocalix-cli as a process of its own, its standard error in a file; `fileSizeLimit` (bytes,
// 0 = none) is what a full disk looks like to the writer: writes beyond it fail with EFBIG.
pid_t Start(const fs::path& dir, const std::vector<std::string>& args, rlim_t fileSizeLimit = 0) {
    std::vector<std::string> all = {VOCALIX_BINARY_DIR "/vocalix-cli", "--program-dir",
                                    dir.string()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string errFile = (dir / "stderr").string();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 2);
        if (fileSizeLimit) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

struct Exit {
    int status = -1; // exit code, -1 when killed
    long peakKb = 0; // peak resident memory of the process
};

Exit Wait(pid_t pid) {
    int status = 0;
    rusage usage{};
    EXPECT_EQ(::wait4(pid, &status, 0, &usage), pid);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
}

// The hidden temporary files the writer makes beside `target`.
std::vector<fs::path> TempsOf(const fs::path& target) {
    std::vector<fs::path> temps;
    const std::string prefix = "." + target.filename().string() + ".tmp-";
    for (const auto& e : fs::directory_iterator(target.parent_path()))
        if (e.path().filename().string().rfind(prefix, 0) == 0)
            temps.push_back(e.path());
    return temps;
}

// A text of about `bytes` bytes in Windows-1251, each line numbered so no two are alike.
std::string BigText(size_t bytes) {
    std::string text;
    text.reserve(bytes + 64);
    for (long n = 0; text.size() < bytes; ++n)
        text += Cp("Мама мыла раму, строка ") + std::to_string(n) + Cp(" книги.\r\n");
    return text;
}

} // namespace

// SIGKILL at many moments of a run that replaces a 24 MB file: before the write, at several
// depths of the temporary file, and after it; the target is always the old file or the whole
// new one, and what may stay behind is only a hidden temporary file that no one takes for it.
TEST_F(CliTest, KilledWhileSavingLeavesOldOrNewFile) {
    const fs::path in = WriteBytes("in.txt", BigText(24 << 20));
    const fs::path out = dir / "out.txt";
    const std::vector<std::string> args = {"clean", "upper", "-o", out.string(), in.string()};
    ASSERT_EQ(
        Wait(Start(dir, {"clean", "upper", "-o", (dir / "new.txt").string(), in.string()})).status,
        0);
    const std::string fresh = Read(dir / "new.txt");
    ASSERT_GT(fresh.size(), size_t(20) << 20);
    const std::string old = Cp("Старая версия\r\n");

    int midWrite = 0, before = 0;
    // Thresholds: -1 = at once; 0..7 = the temporary file holds that many eighths.
    for (int eighths = -1; eighths < 8; ++eighths) {
        SCOPED_TRACE(eighths);
        ASSERT_TRUE(vocalix::base::WriteFileAtomic(out, old));
        for (const fs::path& t : TempsOf(out))
            fs::remove(t);
        const pid_t pid = Start(dir, args);
        bool exited = false;
        size_t seen = 0;
        while (eighths >= 0) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                exited = true;
                break;
            }
            std::error_code ec;
            const std::vector<fs::path> temps = TempsOf(out);
            seen = temps.empty() ? 0 : fs::file_size(temps.front(), ec);
            if (!temps.empty() && !ec && seen * 8 >= fresh.size() * static_cast<size_t>(eighths))
                break;
        }
        if (exited)
            continue; // the whole run slipped by between two looks: nothing to check
        ::kill(pid, SIGKILL);
        EXPECT_EQ(Wait(pid).status, -1);
        const std::string now = Read(out);
        EXPECT_TRUE(now == old || now == fresh) << now.size() << " bytes";
        if (eighths < 0)
            before += now == old;
        else if (seen > 0 && seen < fresh.size() && now == old)
            ++midWrite;
        for (const fs::path& t : TempsOf(out))
            EXPECT_NE(t, out);
    }
    EXPECT_EQ(before, 1);
    EXPECT_GE(midWrite, 1) << "no kill landed inside the write";
    // Finally a run that is not disturbed replaces the file, whatever an earlier one left.
    ASSERT_EQ(Wait(Start(dir, args)).status, 0);
    EXPECT_EQ(Read(out), fresh);
}

// A file size limit stops the write halfway: exit status 2, one Russian line naming the
// reason, the old file as it was and no temporary file left.
TEST_F(CliTest, FullDiskKeepsTheOldFile) {
    const fs::path in = WriteBytes("in.txt", BigText(4 << 20));
    const std::string old = Cp("Старая версия\r\n");
    const fs::path out = WriteBytes("out.txt", old);
    const Exit e = Wait(Start(dir, {"clean", "upper", "-o", out.string(), in.string()}, 1 << 20));
    EXPECT_EQ(e.status, 2);
    const std::string message = Read(dir / "stderr");
    EXPECT_NE(message.find("не удалось записать временный файл"), std::string::npos) << message;
    EXPECT_NE(message.find("файл больше, чем разрешено записывать"), std::string::npos);
    EXPECT_EQ(Read(out), old);
    EXPECT_TRUE(TempsOf(out).empty());
}

// A 100 MB text made here: read whole, changed and written, and nothing else written; the
// peak memory stays within a few copies of the file.
TEST_F(CliTest, HugeInputIsReadWithinBoundedMemory) {
    const std::string text = BigText(100 << 20);
    const fs::path in = WriteBytes("huge.txt", text);
    const Exit e =
        Wait(Start(dir, {"clean", "upper", "-o", (dir / "up.txt").string(), in.string()}));
    EXPECT_EQ(e.status, 0) << Read(dir / "stderr");
    EXPECT_LT(e.peakKb, 3 * static_cast<long>(text.size() >> 10)) << e.peakKb;
    const std::string up = Read(dir / "up.txt");
    EXPECT_EQ(up.size(), text.size());
    const std::string last = Cp("МАМА МЫЛА РАМУ, СТРОКА ");
    EXPECT_EQ(up.rfind(last), text.rfind(Cp("Мама мыла раму, строка ")));
    EXPECT_EQ(Read(in), text);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"dic", "huge.txt", "stderr", "up.txt"}));
}

// An office program that never finishes (its starter and the worker it forked both sleep) is
// stopped after the time limit, with its worker: a clear message, the document kept, no text
// written and no process left.
TEST_F(CliTest, HangingOfficeProgramIsStopped) {
    const fs::path pids = dir / "pids";
    const std::string soffice = WriteBytes(
        "office/soffice", "#!/bin/sh\nsleep 300 &\necho $$ $! > '" + pids.string() + "'\nwait\n");
    fs::permissions(soffice, fs::perms::owner_all);
    const std::string doc = WriteBytes("Мой отчёт.docx", "PK\x03\x04 document");
    vocalix::documents::OfficeConverter office(vocalix::base::RunProcess, soffice, 1000);
    EXPECT_EQ(office.WordToText(doc, ""), "");
    EXPECT_EQ(vocalix::base::Cp1251ToUtf8(office.LastError()),
              "Не найден Microsoft Word: LibreOffice не закончил конвертацию за 1 с и был "
              "остановлен");
    EXPECT_TRUE(office.LastFailureWasOffice());
    EXPECT_EQ(Read(doc), "PK\x03\x04 document");
    EXPECT_FALSE(fs::exists(dir / "Мой отчёт.txt"));
    std::istringstream started(Read(pids));
    pid_t starter = 0, worker = 0;
    ASSERT_TRUE(started >> starter >> worker);
    for (const pid_t pid : {starter, worker}) {
        // Gone, or a zombie waiting for a parent that is not ours to reap.
        std::string stat;
        vocalix::base::ReadFileBytes("/proc/" + std::to_string(pid) + "/stat", stat);
        EXPECT_TRUE(stat.empty() || stat.find(") Z ") != std::string::npos) << stat;
    }
}
