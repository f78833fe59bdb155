#include "base/QtProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <csignal>
#include <unistd.h>

namespace vocalix::base {
namespace {

// Whether a process of the group still runs; a zombie waiting for its parent does not count.
bool GroupHasLiveMember(pid_t group) {
    QDir proc(QStringLiteral("/proc"));
    for (const QString& name : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        name.toInt(&isPid);
        if (!isPid)
            continue;
        QFile file(QStringLiteral("/proc/") + name + QStringLiteral("/stat"));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // "pid (command) state ppid pgrp ...": the command may hold anything but the last ")".
        const QByteArray stat = file.readAll();
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toLongLong() == group && fields[0] != "Z" &&
            fields[0] != "X")
            return true;
    }
    return false;
}

} // namespace

ProcessOutcome RunProcess(const std::string& program, const std::vector<std::string>& args,
                          int timeoutMs) {
    ProcessOutcome outcome;
    QProcess p;
    QStringList list;
    for (const std::string& a : args)
        list << QString::fromStdString(a);
    p.setProgram(QString::fromStdString(program));
    p.setArguments(list);
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(QProcess::nullDevice());
    // The office suite's starter forks its real worker: only a group of its own lets the
    // time limit end both.
    p.setChildProcessModifier([] { ::setsid(); });
    p.start();
    if (!p.waitForStarted(10000))
        return outcome;
    outcome.started = true;
    const auto pid = static_cast<pid_t>(p.processId());
    QElapsedTimer clock;
    clock.start();
    const bool pumpEvents = QCoreApplication::instance() != nullptr;
    while (!p.waitForFinished(pumpEvents ? 50 : 500)) {
        if (p.state() == QProcess::NotRunning)
            break;
        if (pumpEvents)
            QCoreApplication::processEvents();
        if (clock.elapsed() > timeoutMs) {
            ::kill(-pid, SIGKILL);
            p.waitForFinished(5000);
            // The rest of the group dies on its own time: stopped means gone (or left for its
            // new parent to reap) before the caller removes what the program was working in.
            QElapsedTimer dying;
            dying.start();
            while (GroupHasLiveMember(pid) && dying.elapsed() < 2000)
                ::usleep(5000);
            outcome.timedOut = true;
            return outcome;
        }
    }
    outcome.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    outcome.errorOutput = p.readAllStandardError().toStdString();
    return outcome;
}

bool StartDetached(const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args)
        list << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), list);
}

} // namespace vocalix::base
