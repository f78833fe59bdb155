#include "shell/SessionEnd.h"

#include "base/QtText.h"
#include "shell/Prompter.h"
#include "shell/TForm1.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace vocalix::shell {
namespace {

namespace fs = std::filesystem;
using base::U;

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
int g_pipe[2] = {-1, -1}; // [0] read by the event loop, [1] written by the handler

void OnSignal(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        std::perror("vocalix: socketpair");
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::Drain);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // The handler runs once: a second Ctrl+C or kill ends a program that did not end by itself.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    for (const int number : kSignals)
        ::signal(number, SIG_DFL);
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void TerminationSignals::Drain() {
    unsigned char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        emit Requested(byte);
}

fs::path RecoveryFile(const fs::path& programDir, int page) {
    return programDir / "recovery" / ("page" + std::to_string(page) + ".txt");
}

void TForm1::EndSession() {
    if (m_destroyed || m_endingSession)
        return;
    m_endingSession = true; // from here on nothing is asked
    // Pages still waiting to be restored may hold texts recovered from an earlier end.
    FinishStart();
    FinishEndSession();
}

void TForm1::FinishEndSession() {
    if (m_destroyed)
        return;
    if (IsRecording()) {
        // The recording loop ends after the fragment being spoken; the end waits for it.
        AStopExecute();
        QTimer::singleShot(50, this, &TForm1::FinishEndSession);
        return;
    }
    if (IsReading())
        AStopExecute();
    SaveRecovery();
    close();
    QCoreApplication::quit();
}

void TForm1::SaveRecovery() {
    if (ActiveEditor->Modified())
        PageModified[static_cast<size_t>(ActivePageIndex() + 1)] = true;
    for (int n = 1; n <= kPages; ++n) {
        const auto slot = static_cast<size_t>(n);
        const fs::path file = RecoveryFile(ProgramDir, n);
        std::error_code ec;
        if (!PageModified[slot]) {
            fs::remove(file, ec);
            continue;
        }
        fs::create_directories(file.parent_path(), ec);
        std::string error;
        if (!RichEdit[slot]->SaveToFile(file, &error))
            std::fprintf(stderr, "vocalix: %s: %s\n", file.string().c_str(), error.c_str());
    }
}

bool TForm1::RestoreRecoveredPage(int page) {
    const auto slot = static_cast<size_t>(page);
    const fs::path file = RecoveryFile(ProgramDir, page);
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return false;
    PageEditor* editor = RichEdit[slot];
    std::string error;
    if (!editor->LoadFromFile(file, &error)) {
        m_prompter.Inform(U("Не удалось прочитать несохранённый текст страницы ") +
                              QString::number(page % kPages) + QStringLiteral(" (") +
                              QString::fromStdString(file.string()) + QStringLiteral(")\n") +
                              QString::fromStdString(error),
                          CaptionVocalix(), Icon::Warning);
        return false;
    }
    editor->SetModified(true);
    PageModified[slot] = true;
    return true;
}

void TForm1::RemoveRecovery() {
    std::error_code ec;
    for (int n = 1; n <= kPages; ++n)
        fs::remove(RecoveryFile(ProgramDir, n), ec);
    fs::remove(RecoveryFile(ProgramDir, 1).parent_path(), ec); // only when empty
}

} // namespace vocalix::shell
