#include "speech/AudioPlayer.h"

#include "speech/AudioServer.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QCoreApplication>
#include <QDateTime>
#include <QMediaDevices>

namespace vocalix::speech {
namespace {

constexpr int kTickMs = 10;
// Audio that does not advance for this long, while not paused, means the device is gone.
constexpr qint64 kStallMs = 4000;
// Qt drains a push-mode stream when it runs dry, and PipeWire's sound server then takes no more
// audio on it: a reading held up for a moment (a busy machine) would stall for good. A stream
// that has audio left to play yet makes no progress for this long is opened anew.
constexpr qint64 kReopenMs = 1000;
// How long the sound server may take to accept a stream before we call it broken.
constexpr int kProbeMs = 3000;

QString NoDeviceText() {
    return QString::fromUtf8("Нет устройства вывода звука (звуковой сервер не отвечает или "
                             "не настроен).");
}

} // namespace

AudioPlayer::AudioPlayer(std::shared_ptr<SpeechEngine> engine, QObject* parent)
    : QObject(parent), m_engine(std::move(engine)) {
    m_timer.setInterval(kTickMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AudioPlayer::Tick);
}

AudioPlayer::~AudioPlayer() {
    // Teardown order: no more ticks, no more chunks from the engine thread, none still queued,
    // then the sink (stopped before it is deleted, so the server thread has let go of it).
    m_timer.stop();
    m_active = false;
    if (m_engine->Generation() == m_generation)
        m_engine->Cancel();
    m_engine->WaitIdle();
    QCoreApplication::removePostedEvents(this);
    StopSink();
}

bool AudioPlayer::OutputAvailable(QString* why) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        if (why)
            *why = NoDeviceText();
        return false;
    }
    return ProbeAudioOutput(device.id(), 22050, kProbeMs, why);
}

bool AudioPlayer::Speak(const std::string& cp1251, const SynthParams& params, QString* error) {
    Purge();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        if (error)
            *error = NoDeviceText();
        return false;
    }
    QString why;
    if (!ProbeAudioOutput(device.id(), m_engine->SampleRate(), kProbeMs, &why)) {
        if (error)
            *error = why;
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(m_engine->SampleRate());
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!m_sink || m_sink->format() != format || m_sinkDevice != device.id()) {
        StopSink();
        m_sink = new QAudioSink(device, format, this);
        m_sinkDevice = device.id();
        // A short buffer keeps stop and pause immediate; the clock is what we read anyway.
        m_sink->setBufferSize(m_engine->SampleRate() * 2 * 3 / 10);
    }
    m_device = m_sink->start();
    if (!m_device || m_sink->error() != QAudio::NoError) {
        m_sink->stop();
        m_device = nullptr;
        if (error)
            *error = NoDeviceText();
        return false;
    }
    m_buffer.clear();
    m_inFlight.clear();
    m_marks.clear();
    m_total = 0;
    m_sent = 0;
    m_playedBefore = 0;
    m_lastPlayed = -1;
    m_stallSince = QDateTime::currentMSecsSinceEpoch();
    m_synthDone = false;
    m_firstSample = false;
    m_paused = false;
    m_active = true;
    m_generation =
        m_engine->Synthesize(cp1251, params, [this](uint64_t generation, AudioChunk&& chunk) {
            auto shared = std::make_shared<AudioChunk>(std::move(chunk));
            QMetaObject::invokeMethod(
                this, [this, generation, shared] { OnChunk(generation, std::move(*shared)); },
                Qt::QueuedConnection);
        });
    m_timer.start();
    emit started();
    return true;
}

void AudioPlayer::OnChunk(uint64_t generation, AudioChunk&& chunk) {
    if (!m_active || generation != m_generation)
        return;
    if (!chunk.error.empty()) {
        Fail(QString::fromStdString(chunk.error));
        return;
    }
    for (const WordMark& w : chunk.words)
        m_marks.push_back(w);
    m_buffer.append(reinterpret_cast<const char*>(chunk.samples.data()),
                    static_cast<qsizetype>(chunk.samples.size() * sizeof(int16_t)));
    m_total += static_cast<long long>(chunk.samples.size());
    if (chunk.last)
        m_synthDone = true;
    Tick();
}

long long AudioPlayer::PlayedSamples() const {
    if (!m_sink || !m_active)
        return 0;
    return m_playedBefore + m_sink->processedUSecs() * m_engine->SampleRate() / 1000000;
}

void AudioPlayer::Tick() {
    if (!m_active || !m_sink)
        return;
    if (m_sink->error() == QAudio::OpenError || m_sink->error() == QAudio::FatalError) {
        Fail(NoDeviceText());
        return;
    }
    if (!m_synthDone && m_engine->Generation() != m_generation) {
        // Another text took the engine: this one will never complete.
        Purge();
        return;
    }
    if (!m_buffer.isEmpty() && !m_paused) {
        qsizetype n = std::min<qsizetype>(m_sink->bytesFree(), m_buffer.size()) & ~qsizetype(1);
        if (n > 0) {
            n = m_device->write(m_buffer.constData(), n);
            if (n > 0) {
                m_inFlight.append(m_buffer.constData(), n);
                m_buffer.remove(0, n);
                m_sent += n / 2;
            }
        }
    }
    const long long played = PlayedSamples();
    // What the server has played is no longer needed for a reopened stream.
    const long long unplayed = std::max(0LL, m_sent - played);
    if (m_inFlight.size() > unplayed * 2)
        m_inFlight.remove(0, m_inFlight.size() - unplayed * 2);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (played != m_lastPlayed || m_paused) {
        m_lastPlayed = played;
        m_stallSince = now;
    } else if (m_total > played && now - m_stallSince > kStallMs) {
        Fail(NoDeviceText());
        return;
    } else if (m_total > played && now - m_stallSince > kReopenMs && now - m_reopened > kReopenMs &&
               m_sink->bytesFree() == 0) {
        Reopen(played);
        if (!m_active)
            return;
    }
    if (played > 0 && !m_firstSample) {
        m_firstSample = true;
        emit firstSample();
    }
    const bool allPlayed = m_synthDone && m_buffer.isEmpty() &&
                           (played >= m_total - m_engine->SampleRate() / 100 ||
                            (played > 0 && m_sink->state() == QAudio::IdleState));
    while (!m_marks.empty() && (m_marks.front().sample <= played || allPlayed)) {
        const WordMark w = m_marks.front();
        m_marks.pop_front();
        m_lastWordSample = w.sample;
        emit word(w.start, w.length);
        if (!m_active)
            return; // a handler purged
    }
    if (allPlayed) {
        m_active = false;
        m_timer.stop();
        emit finished();
    }
}

void AudioPlayer::Pause() {
    if (!m_active || m_paused)
        return;
    m_paused = true;
    if (m_sink)
        m_sink->suspend();
}

void AudioPlayer::Resume() {
    if (!m_paused)
        return;
    m_paused = false;
    if (m_sink)
        m_sink->resume();
}

void AudioPlayer::Purge() {
    if (m_active && !m_synthDone && m_engine->Generation() == m_generation)
        m_engine->Cancel();
    m_active = false;
    m_paused = false;
    m_timer.stop();
    m_buffer.clear();
    m_inFlight.clear();
    m_marks.clear();
    if (m_sink && m_sink->state() != QAudio::StoppedState)
        m_sink->stop();
    m_device = nullptr;
}

void AudioPlayer::Reopen(long long played) {
    m_reopened = QDateTime::currentMSecsSinceEpoch();
    m_sink->stop();
    // Opening waits for the server without a limit: ask it first, as Speak does.
    QString why;
    if (!ProbeAudioOutput(m_sinkDevice, m_engine->SampleRate(), kProbeMs, &why)) {
        Fail(why);
        return;
    }
    m_device = m_sink->start();
    if (!m_device || m_sink->error() != QAudio::NoError) {
        Fail(NoDeviceText());
        return;
    }
    // The new stream starts where the old one stopped: its clock counts from there, and the
    // audio the old one held unplayed goes out again.
    m_playedBefore = played;
    m_sent = played;
    m_buffer.prepend(m_inFlight);
    m_inFlight.clear();
}

void AudioPlayer::Fail(const QString& message) {
    Purge();
    emit failed(message);
}

void AudioPlayer::StopSink() {
    if (m_sink) {
        m_sink->stop();
        delete m_sink;
        m_sink = nullptr;
    }
    m_device = nullptr;
}

} // namespace vocalix::speech
