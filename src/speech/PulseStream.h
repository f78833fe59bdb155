#pragma once

#include <QString>

#include <atomic>
#include <string>

struct pa_context;
struct pa_operation;
struct pa_stream;
struct pa_threaded_mainloop;

namespace vocalix::speech {

// One playback stream of 16-bit samples on the sound server's default output. The caller queues
// audio as it comes; the server connection's own thread hands it over whenever the server asks,
// so an output that plays faster than real time is never held up by the caller. Every call here
// holds that thread's lock briefly and never waits on the server without a deadline. A connection
// that breaks (the server went away) is replaced by a new one at the next Open, so sound comes back
// as soon as the server does.
class PulseStream {
public:
    PulseStream() = default;
    ~PulseStream();
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Closes any stream and opens a new one; waits at most `timeoutMs` for the server (one that
    // accepts clients but cannot play, with no session manager or no sink, never answers). The
    // reason when the server cannot play.
    bool Open(int sampleRate, int channels, int timeoutMs, QString* why);
    void Close();
    // The stream or the connection broke (the server or its output went away).
    bool Failed();

    // Adds audio to play after what is queued (nothing when not open).
    void Queue(const char* data, size_t bytes);
    // Bytes queued that the server has not taken yet.
    size_t Pending() const;
    // No more audio comes: what is queued plays even if it is shorter than the server's start
    // threshold, and Drained() tells when all of it has played.
    void Finish();
    bool Drained() const { return m_drained.load(); }
    // Microseconds of this stream's audio played so far.
    long long PlayedUsecs() const;
    void SetPaused(bool paused);

private:
    bool Connect(int timeoutMs, QString* why);
    void Disconnect();
    template <class Settled> bool WaitUntil(Settled settled, int timeoutMs);
    // Hands the server what it takes of the queue; with the lock held.
    void Feed();

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    pa_operation* m_drain = nullptr;
    mutable long long m_lastUsecs = 0;
    // Guarded by the loop's lock: the server's thread feeds from it.
    std::string m_queue;
    size_t m_queueStart = 0;
    bool m_finishing = false;
    std::atomic<bool> m_drained{false};
};

} // namespace vocalix::speech
