#pragma once

// The end of a session the user did not choose: the system shutting down, the desktop logging
// out, the terminal closing, or `kill`. There is nobody to ask about unsaved pages then, so
// their texts go to recovery files in the program folder; the next start puts them back into
// their pages, still marked modified, and a normal close (after the usual questions) removes
// them.
#include <QObject>
#include <filesystem>

class QSocketNotifier;

namespace vocalix::shell {

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

// The recovery file of page n (1 … 10) in the program folder.
std::filesystem::path RecoveryFile(const std::filesystem::path& programDir, int page);

} // namespace vocalix::shell
