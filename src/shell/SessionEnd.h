#pragma once

// The end of a session the user did not choose: the system shutting down, the desktop logging
// out, the terminal closing, or `kill`. There is nobody to ask about unsaved pages then, so
// their texts go to recovery files in the program folder; the next start puts them back into
// their pages, still marked modified, and a normal close (after the usual questions) removes
// them.
#include <QObject>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class QSocketNotifier;

namespace vocalix::shell {

class TForm1;

// Turns SIGTERM, SIGHUP and SIGINT into the Qt signal Requested(), delivered by the event
// loop (a signal handler may do no more than write to a pipe). A second signal of the same
// kind ends the process at once, as if no handler were installed. One object per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void Requested(int signalNumber);

private:
    void Drain();
    QSocketNotifier* m_notifier = nullptr;
};

// The desktop's session manager (logout, shutdown). Its "save yourself" keeps the modified
// pages at once; its "die", which reaches Qt as a request to quit while the window is still
// open, ends the window as a termination signal does, asking nothing: Qt would otherwise close
// the window with the usual questions and hold the logout up. An X server that goes away (the
// display closed, the server crashed) makes Qt end the process with exit() from inside the
// event loop; the modified pages are written on the way out. Made a child of the window; one
// window per process.
class DesktopSession : public QObject {
    Q_OBJECT
public:
    explicit DesktopSession(TForm1& form);
    ~DesktopSession() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TForm1& m_form;
};

// The unsaved pages of one window on disk: "recovery/session-XXXXXX/pageN.txt" in the program
// folder. The folder is the window's while it holds the folder's lock file open and locked; the
// lock goes with the process, however it ends, and a later start takes over a folder whose lock
// is free. Two windows on one program folder thus never write over each other's texts.
class RecoveryStore {
public:
    explicit RecoveryStore(std::filesystem::path programDir);
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // At start: takes over the folder of a window that ended without removing it, if any
    // (folders without a text are removed on the way). True when one was taken over.
    bool Adopt();
    // Page n's file in this window's folder; empty while the window has none.
    std::filesystem::path PageFile(int page) const;
    // Writes page n's text and the name of the file it is to be saved to (cp1251, empty for a
    // new text) atomically, making the folder on first use.
    bool Write(int page, std::string_view fileName, std::string_view text, std::string* error);
    struct Page {
        std::string fileName;
        std::string text;
    };
    // Page n as written; nullopt when there is none or it cannot be read (then *error says
    // why).
    std::optional<Page> Read(int page, std::string* error) const;
    void Remove(int page);
    // The folder and its lock: after a close the user answered for, nothing is kept.
    void RemoveAll();

private:
    bool Lock(const std::filesystem::path& folder);
    std::filesystem::path m_root;
    std::filesystem::path m_folder; // empty until made or taken over
    int m_lockFd = -1;
};

} // namespace vocalix::shell
