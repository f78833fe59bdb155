#include "base/AtomicFile.h"
#include "base/ProcessExit.h"
#include "base/ProgramFolder.h"
#include "cli/Cli.h"

#include <QCoreApplication>
#include <QDir>

#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

// A standard stream that was closed is taken by /dev/null, so that no file the program opens
// later gets its number and receives the output. True when it was closed.
bool FillClosedStream(int fd) {
    if (::fcntl(fd, F_GETFD) != -1)
        return false;
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0 && null != fd) {
        ::dup2(null, fd);
        ::close(null);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // Ctrl+C or kill leaves no half-written file behind: the finished files stay as they are.
    vocalix::base::RemoveTemporaryFilesOnTermination();
    FillClosedStream(0);
    FillClosedStream(2);
    if (FillClosedStream(1))
        std::cout.setstate(std::ios::badbit); // output cannot arrive: every command fails
    int status = 0;
    {
        QCoreApplication app(argc, argv); // speech and audio commands need an event loop
        std::vector<std::string> args(argv + 1, argv + argc);
        const std::filesystem::path exeDir = QCoreApplication::applicationDirPath().toStdString();
        // The same program folder as the window program: an installed copy works in the user's.
        const std::filesystem::path programDir =
            vocalix::base::ResolveProgramFolder(exeDir, vocalix::base::CurrentEnvironment());
        status = vocalix::cli::RunCli(args, programDir, std::cout, std::cerr);
    }
    vocalix::base::LeaveProcess(status);
}
