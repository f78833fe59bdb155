#include "base/ProgramFolder.h"
#include "cli/Cli.h"

#include <QCoreApplication>
#include <QDir>

#include <iostream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // speech and audio commands need an event loop
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::filesystem::path exeDir = QCoreApplication::applicationDirPath().toStdString();
    // The same program folder as the window program: an installed copy works in the user's.
    const std::filesystem::path programDir =
        vocalix::base::ResolveProgramFolder(exeDir, vocalix::base::CurrentEnvironment());
    return vocalix::cli::RunCli(args, programDir, std::cout, std::cerr);
}
