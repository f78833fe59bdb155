#include "speech/AudioServer.h"

#include <pulse/pulseaudio.h>

#include <chrono>

namespace vocalix::speech {
namespace {

// A private main loop iterated here with a deadline: nothing waits on the server unbounded.
class ProbeLoop {
public:
    ProbeLoop() : m_loop(pa_mainloop_new()) {}
    ~ProbeLoop() {
        if (m_stream) {
            pa_stream_disconnect(m_stream);
            pa_stream_unref(m_stream);
        }
        if (m_context) {
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
        }
        if (m_loop)
            pa_mainloop_free(m_loop);
    }
    ProbeLoop(const ProbeLoop&) = delete;
    ProbeLoop& operator=(const ProbeLoop&) = delete;

    // Runs the loop until `done` says so or the deadline passes; false on timeout.
    template <class Done> bool RunUntil(Done done, std::chrono::steady_clock::time_point deadline) {
        while (!done()) {
            const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            if (pa_mainloop_prepare(
                    m_loop, static_cast<int>(std::min<long long>(left.count(), 50'000))) < 0 ||
                pa_mainloop_poll(m_loop) < 0 || pa_mainloop_dispatch(m_loop) < 0)
                return false;
        }
        return true;
    }

    pa_mainloop* m_loop;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
};

QString Reason(const char* what) {
    return QString::fromUtf8("Нет устройства вывода звука (%1).").arg(QString::fromUtf8(what));
}

} // namespace

bool ProbeAudioOutput(const QByteArray& deviceId, int sampleRate, int timeoutMs, QString* why) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    ProbeLoop probe;
    if (!probe.m_loop) {
        if (why)
            *why = Reason("звуковой сервер недоступен");
        return false;
    }
    probe.m_context = pa_context_new(pa_mainloop_get_api(probe.m_loop), "Vocalix");
    if (!probe.m_context ||
        pa_context_connect(probe.m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        if (why)
            *why = Reason("звуковой сервер не запущен");
        return false;
    }
    pa_context* context = probe.m_context;
    const bool contextSettled = probe.RunUntil(
        [context] {
            return !PA_CONTEXT_IS_GOOD(pa_context_get_state(context)) ||
                   pa_context_get_state(context) == PA_CONTEXT_READY;
        },
        deadline);
    if (!contextSettled || pa_context_get_state(context) != PA_CONTEXT_READY) {
        if (why)
            *why = Reason(contextSettled ? "звуковой сервер не запущен"
                                         : "звуковой сервер не отвечает");
        return false;
    }
    const pa_sample_spec format{PA_SAMPLE_S16LE, static_cast<uint32_t>(sampleRate), 1};
    probe.m_stream = pa_stream_new(context, "Vocalix probe", &format, nullptr);
    // Corked: the probe never makes a sound.
    if (!probe.m_stream || pa_stream_connect_playback(
                               probe.m_stream, deviceId.isEmpty() ? nullptr : deviceId.constData(),
                               nullptr, PA_STREAM_START_CORKED, nullptr, nullptr) < 0) {
        if (why)
            *why = Reason(pa_strerror(pa_context_errno(context)));
        return false;
    }
    pa_stream* stream = probe.m_stream;
    const bool streamSettled = probe.RunUntil(
        [stream] {
            return !PA_STREAM_IS_GOOD(pa_stream_get_state(stream)) ||
                   pa_stream_get_state(stream) == PA_STREAM_READY;
        },
        deadline);
    if (!streamSettled || pa_stream_get_state(stream) != PA_STREAM_READY) {
        if (why)
            *why = Reason(streamSettled ? pa_strerror(pa_context_errno(context))
                                        : "звуковой сервер не может воспроизводить звук");
        return false;
    }
    return true;
}

} // namespace vocalix::speech
