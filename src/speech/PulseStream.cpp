#include "speech/PulseStream.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <thread>

namespace vocalix::speech {
namespace {

// The server's latency for our stream: short, so that Stop and Pause are heard at once. The
// clock we follow is the server's, so the length does not move the highlighting.
constexpr int kBufferMs = 300;
// How much must be buffered before the server starts playing (and starts again after running
// dry): little, so that the first word is heard as soon as it is synthesised.
constexpr int kStartMs = 50;

class Lock {
public:
    explicit Lock(pa_threaded_mainloop* loop) : m_loop(loop) { pa_threaded_mainloop_lock(loop); }
    ~Lock() { pa_threaded_mainloop_unlock(m_loop); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

QString Reason(const char* what) {
    return QString::fromUtf8("Нет устройства вывода звука (%1).").arg(QString::fromUtf8(what));
}

} // namespace

PulseStream::~PulseStream() {
    if (!m_loop)
        return;
    Close();
    Disconnect();
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

template <class Settled> bool PulseStream::WaitUntil(Settled settled, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            Lock lock(m_loop);
            if (settled())
                return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool PulseStream::Connect(int timeoutMs, QString* why) {
    if (!m_loop) {
        m_loop = pa_threaded_mainloop_new();
        if (!m_loop || pa_threaded_mainloop_start(m_loop) < 0) {
            if (m_loop)
                pa_threaded_mainloop_free(m_loop);
            m_loop = nullptr;
            if (why)
                *why = Reason("звуковой сервер недоступен");
            return false;
        }
    }
    {
        Lock lock(m_loop);
        if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY)
            return true;
    }
    // A connection that broke stays broken: a new one finds the server if it is back.
    Disconnect();
    {
        Lock lock(m_loop);
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Vocalix");
        if (!m_context ||
            pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            if (why)
                *why = Reason("звуковой сервер не запущен");
            return false;
        }
    }
    pa_context* context = m_context;
    const bool settled = WaitUntil(
        [context] {
            const pa_context_state_t state = pa_context_get_state(context);
            return !PA_CONTEXT_IS_GOOD(state) || state == PA_CONTEXT_READY;
        },
        timeoutMs);
    Lock lock(m_loop);
    if (settled && pa_context_get_state(context) == PA_CONTEXT_READY)
        return true;
    if (why)
        *why = Reason(settled ? "звуковой сервер не запущен" : "звуковой сервер не отвечает");
    return false;
}

void PulseStream::Disconnect() {
    if (!m_loop || !m_context)
        return;
    Lock lock(m_loop);
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

bool PulseStream::Open(int sampleRate, int channels, int timeoutMs, QString* why) {
    Close();
    const auto started = std::chrono::steady_clock::now();
    if (!Connect(timeoutMs, why))
        return false;
    m_lastUsecs = 0;
    m_queue.clear();
    m_queueStart = 0;
    m_finishing = false;
    m_drained = false;
    {
        Lock lock(m_loop);
        const pa_sample_spec format{PA_SAMPLE_S16LE, static_cast<uint32_t>(sampleRate),
                                    static_cast<uint8_t>(channels)};
        m_stream = pa_stream_new(m_context, "Vocalix", &format, nullptr);
        const auto bytes = [sampleRate, channels](int ms) {
            return static_cast<uint32_t>(sampleRate * 2LL * channels * ms / 1000);
        };
        pa_buffer_attr buffer{};
        buffer.maxlength = static_cast<uint32_t>(-1);
        buffer.tlength = bytes(kBufferMs);
        buffer.prebuf = bytes(kStartMs);
        buffer.minreq = static_cast<uint32_t>(-1);
        buffer.fragsize = static_cast<uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
        if (m_stream)
            pa_stream_set_write_callback(
                m_stream,
                [](pa_stream*, size_t, void* self) { static_cast<PulseStream*>(self)->Feed(); },
                this);
        if (!m_stream ||
            pa_stream_connect_playback(m_stream, nullptr, &buffer, flags, nullptr, nullptr) < 0) {
            if (why)
                *why = Reason(pa_strerror(pa_context_errno(m_context)));
            if (m_stream)
                pa_stream_unref(m_stream);
            m_stream = nullptr;
            return false;
        }
    }
    const int left =
        timeoutMs - static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - started)
                                         .count());
    pa_stream* stream = m_stream;
    const bool settled = WaitUntil(
        [stream] {
            const pa_stream_state_t state = pa_stream_get_state(stream);
            return !PA_STREAM_IS_GOOD(state) || state == PA_STREAM_READY;
        },
        std::max(left, 0));
    bool ready = false;
    {
        Lock lock(m_loop);
        ready = settled && pa_stream_get_state(stream) == PA_STREAM_READY;
        if (!ready && why)
            *why = Reason(settled ? pa_strerror(pa_context_errno(m_context))
                                  : "звуковой сервер не может воспроизводить звук");
    }
    if (!ready)
        Close();
    return ready;
}

void PulseStream::Close() {
    if (!m_stream)
        return;
    Lock lock(m_loop);
    // A drain still pending must not report on a later stream.
    if (m_drain) {
        pa_operation_cancel(m_drain);
        pa_operation_unref(m_drain);
        m_drain = nullptr;
    }
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
    m_queue.clear();
    m_queueStart = 0;
}

bool PulseStream::Failed() {
    if (!m_stream)
        return false;
    Lock lock(m_loop);
    return !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)) ||
           !PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream));
}

void PulseStream::Queue(const char* data, size_t bytes) {
    if (!m_stream || bytes == 0)
        return;
    Lock lock(m_loop);
    m_queue.append(data, bytes);
    Feed();
}

size_t PulseStream::Pending() const {
    if (!m_stream)
        return 0;
    Lock lock(m_loop);
    return m_queue.size() - m_queueStart;
}

void PulseStream::Finish() {
    if (!m_stream)
        return;
    Lock lock(m_loop);
    if (m_finishing)
        return;
    m_finishing = true;
    Feed();
}

void PulseStream::Feed() {
    if (!m_stream || pa_stream_get_state(m_stream) != PA_STREAM_READY)
        return;
    const size_t writable = pa_stream_writable_size(m_stream);
    if (writable == static_cast<size_t>(-1))
        return;
    // Whole frames only; the queue holds whole frames.
    const size_t n = std::min(writable, m_queue.size() - m_queueStart) & ~size_t(1);
    if (n > 0 && pa_stream_write(m_stream, m_queue.data() + m_queueStart, n, nullptr, 0,
                                 PA_SEEK_RELATIVE) == 0)
        m_queueStart += n;
    if (m_queueStart == m_queue.size()) {
        m_queue.clear();
        m_queueStart = 0;
    } else if (m_queueStart > m_queue.size() / 2) {
        m_queue.erase(0, m_queueStart);
        m_queueStart = 0;
    }
    // The drain is asked for once the server holds everything: it ends when the server's
    // buffer runs out, which must not happen while audio still waits here.
    if (m_finishing && !m_drain && m_queue.empty())
        m_drain = pa_stream_drain(
            m_stream,
            [](pa_stream*, int success, void* self) {
                if (success)
                    static_cast<PulseStream*>(self)->m_drained = true;
            },
            this);
}

long long PulseStream::PlayedUsecs() const {
    if (!m_stream)
        return 0;
    Lock lock(m_loop);
    pa_usec_t usecs = 0;
    if (pa_stream_get_time(m_stream, &usecs) == 0)
        m_lastUsecs = std::max(m_lastUsecs, static_cast<long long>(usecs));
    return m_lastUsecs;
}

void PulseStream::SetPaused(bool paused) {
    if (!m_stream)
        return;
    Lock lock(m_loop);
    if (pa_operation* cork = pa_stream_cork(m_stream, paused ? 1 : 0, nullptr, nullptr))
        pa_operation_unref(cork);
}

} // namespace vocalix::speech
