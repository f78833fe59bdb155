#include "shell/SessionEnd.h"

#include "base/AtomicFile.h"
#include "base/QtText.h"
#include "shell/Prompter.h"
#include "shell/TForm1.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

TForm1* g_exitingForm = nullptr; // the window whose pages exit() writes

void SavePagesAtExit() {
    if (TForm1* form = std::exchange(g_exitingForm, nullptr))
        form->SaveRecovery();
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

DesktopSession::DesktopSession(TForm1& form) : QObject(&form), m_form(form) {
    QCoreApplication* app = QCoreApplication::instance();
    if (auto* gui = qobject_cast<QGuiApplication*>(app))
        connect(gui, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { m_form.SaveRecovery(); });
    app->installEventFilter(this);
    // An orderly end leaves by _exit() and never runs this.
    static const bool registered = std::atexit(SavePagesAtExit) == 0;
    if (registered)
        g_exitingForm = &form;
}

DesktopSession::~DesktopSession() {
    if (g_exitingForm == &m_form)
        g_exitingForm = nullptr;
}

bool DesktopSession::eventFilter(QObject* watched, QEvent* event) {
    // The window's own quit (after its close, or the close at the end of EndSession) comes
    // when it is no longer visible and goes on as usual.
    if (event->type() != QEvent::Quit || watched != QCoreApplication::instance() ||
        !m_form.isVisible())
        return false;
    m_form.EndSession();
    return true;
}

RecoveryStore::RecoveryStore(fs::path programDir) : m_root(std::move(programDir) / "recovery") {}

RecoveryStore::~RecoveryStore() {
    if (m_lockFd >= 0)
        ::close(m_lockFd); // the folder stays for the next start
}

bool RecoveryStore::Lock(const fs::path& folder) {
    const int fd = ::open((folder / ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    m_lockFd = fd;
    m_folder = folder;
    return true;
}

bool RecoveryStore::Adopt() {
    std::error_code ec;
    std::vector<fs::path> folders;
    for (const auto& entry : fs::directory_iterator(m_root, ec))
        if (entry.is_directory(ec) && !entry.is_symlink(ec) &&
            entry.path().filename().string().starts_with("session-"))
            folders.push_back(entry.path());
    std::sort(folders.begin(), folders.end());
    for (const fs::path& folder : folders) {
        if (!Lock(folder))
            continue; // a running window's, or not ours to touch
        bool hasText = false;
        for (int n = 1; n <= TForm1::kPages && !hasText; ++n)
            hasText = fs::is_regular_file(PageFile(n), ec);
        if (hasText)
            return true;
        RemoveAll();
    }
    return false;
}

fs::path RecoveryStore::PageFile(int page) const {
    if (m_folder.empty())
        return {};
    return m_folder / ("page" + std::to_string(page) + ".txt");
}

bool RecoveryStore::Write(int page, std::string_view fileName, std::string_view text,
                          std::string* error) {
    if (m_folder.empty()) {
        std::error_code ec;
        fs::create_directories(m_root, ec);
        std::string pattern = (m_root / "session-XXXXXX").string();
        if (!::mkdtemp(pattern.data()) || !Lock(pattern)) {
            if (error)
                *error = std::strerror(errno);
            return false;
        }
    }
    // The file's name goes first, after its length in bytes: a name may hold any byte.
    std::string bytes = std::to_string(fileName.size()) + "\n";
    bytes.append(fileName);
    bytes.append(text);
    return base::WriteFileAtomic(PageFile(page), bytes, error);
}

std::optional<RecoveryStore::Page> RecoveryStore::Read(int page, std::string* error) const {
    const fs::path file = PageFile(page);
    std::error_code ec;
    if (file.empty() || !fs::exists(file, ec))
        return std::nullopt;
    std::string bytes;
    if (!base::ReadFileBytes(file, bytes, error))
        return std::nullopt;
    Page kept;
    const size_t eol = bytes.find('\n');
    size_t length = 0;
    const char* end = bytes.data() + (eol == std::string::npos ? 0 : eol);
    const auto [stop, failure] = std::from_chars(bytes.data(), end, length);
    if (eol != std::string::npos && eol > 0 && failure == std::errc() && stop == end &&
        length <= bytes.size() - eol - 1) {
        kept.fileName = bytes.substr(eol + 1, length);
        kept.text = bytes.substr(eol + 1 + length);
    } else {
        kept.text = std::move(bytes); // no name to be had: the text is kept as a new one
    }
    return kept;
}

void RecoveryStore::Remove(int page) {
    std::error_code ec;
    if (!m_folder.empty())
        fs::remove(PageFile(page), ec);
}

void RecoveryStore::RemoveAll() {
    if (m_folder.empty())
        return;
    std::error_code ec;
    fs::remove_all(m_folder, ec); // under the lock, which goes with it
    ::close(m_lockFd);
    m_lockFd = -1;
    m_folder.clear();
    fs::remove(m_root, ec); // only when no other window keeps a folder there
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
    for (int n = 1; n <= kPages; ++n) {
        const auto slot = static_cast<size_t>(n);
        const bool modified = PageModified[slot] || RichEdit[slot]->Modified();
        if (!modified) {
            if (m_recoveryWritten[slot])
                m_recovery->Remove(n);
            m_recoveryWritten[slot] = false;
            continue;
        }
        if (m_recoveryWritten[slot] && !m_recoveryDirty[slot] &&
            m_recoveryName[slot] == PageFileName[slot])
            continue; // the file holds this text already
        std::string error;
        if (m_recovery->Write(n, PageFileName[slot], RichEdit[slot]->Text(), &error)) {
            m_recoveryWritten[slot] = true;
            m_recoveryDirty[slot] = false;
            m_recoveryName[slot] = PageFileName[slot];
        } else {
            std::fprintf(stderr, "vocalix: the unsaved text of page %d was not kept: %s\n", n,
                         error.c_str());
        }
    }
}

bool TForm1::RestoreRecoveredPage(int page) {
    const auto slot = static_cast<size_t>(page);
    std::string error;
    std::optional<RecoveryStore::Page> kept = m_recovery->Read(page, &error);
    if (!kept) {
        if (!error.empty())
            m_prompter.Inform(U("Не удалось прочитать несохранённый текст страницы ") +
                                  QString::number(page % kPages) + QStringLiteral(" (") +
                                  QString::fromStdString(m_recovery->PageFile(page).string()) +
                                  QStringLiteral(")\n") + QString::fromStdString(error),
                              CaptionVocalix(), Icon::Warning);
        return false;
    }
    PageEditor* editor = RichEdit[slot];
    editor->SetText(kept->text);
    editor->SetModified(true);
    PageModified[slot] = true;
    if (kept->fileName != PageFileName[slot]) {
        // The settings speak of the file the page showed at the last close that wrote them;
        // the text belongs to the file it showed when it was kept.
        PageFileName[slot] = kept->fileName;
        PageCharPos[slot] = 0;
        PagePicNumber[slot] = 0;
        PageBookMarks[slot].clear();
    }
    CurrentFileName = PageFileName[slot];
    m_recoveryWritten[slot] = true;
    m_recoveryDirty[slot] = false;
    m_recoveryName[slot] = PageFileName[slot];
    return true;
}

bool TForm1::IsRecoveredPage(int page) const {
    return std::find(m_recoveredPages.begin(), m_recoveredPages.end(), page) !=
           m_recoveredPages.end();
}

void TForm1::RemoveRecovery() {
    m_recovery->RemoveAll();
    m_recoveryWritten.fill(false);
}

} // namespace vocalix::shell
