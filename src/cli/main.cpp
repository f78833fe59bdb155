#include "cli/Cli.h"

#include <QCoreApplication>
#include <QDir>

#include <iostream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // speech and audio commands need an event loop
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::filesystem::path exeDir =
        QCoreApplication::applicationDirPath().toStdString();
    return vocalix::cli::RunCli(args, exeDir, std::cout, std::cerr);
}
