#include "speech/AudioPlayer.h"

#include <QCoreApplication>
#include <QDateTime>

namespace vocalix::speech {
namespace {

constexpr int kTickMs = 10;
// Audio that does not advance for this long, while not paused, means the output is gone.
constexpr qint64 kStallMs = 4000;
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
    // then the stream.
    m_timer.stop();
    m_active = false;
    if (m_engine->Generation() == m_generation)
        m_engine->Cancel();
    m_engine->WaitIdle();
    QCoreApplication::removePostedEvents(this);
    m_stream.Close();
}

bool AudioPlayer::OutputAvailable(QString* why) {
    // A stream that is opened and closed again without audio: nothing is heard.
    PulseStream probe;
    return probe.Open(22050, 1, kProbeMs, why);
}

bool AudioPlayer::Speak(const std::string& cp1251, const SynthParams& params, QString* error) {
    Purge();
    QString why;
    if (!m_stream.Open(m_engine->SampleRate(), 1, kProbeMs, &why)) {
        if (error)
            *error = why.isEmpty() ? NoDeviceText() : why;
        return false;
    }
    m_marks.clear();
    m_total = 0;
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
    m_stream.Queue(reinterpret_cast<const char*>(chunk.samples.data()),
                   chunk.samples.size() * sizeof(int16_t));
    m_total += static_cast<long long>(chunk.samples.size());
    if (chunk.last)
        m_synthDone = true;
    Tick();
}

long long AudioPlayer::PlayedSamples() const {
    if (!m_active)
        return 0;
    return m_stream.PlayedUsecs() * m_engine->SampleRate() / 1000000;
}

void AudioPlayer::Tick() {
    if (!m_active)
        return;
    if (m_stream.Failed()) {
        Fail(NoDeviceText());
        return;
    }
    if (!m_synthDone && m_engine->Generation() != m_generation) {
        // Another text took the engine: this one will never complete.
        Purge();
        return;
    }
    if (m_synthDone)
        m_stream.Finish();
    const long long played = PlayedSamples();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (played != m_lastPlayed || m_paused) {
        m_lastPlayed = played;
        m_stallSince = now;
    } else if (m_total > played && !m_stream.Drained() && now - m_stallSince > kStallMs) {
        Fail(NoDeviceText());
        return;
    }
    if (played > 0 && !m_firstSample) {
        m_firstSample = true;
        emit firstSample();
    }
    const bool allPlayed = m_synthDone && m_stream.Pending() == 0 &&
                           (played >= m_total - m_engine->SampleRate() / 100 || m_stream.Drained());
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
    m_stream.SetPaused(true);
}

void AudioPlayer::Resume() {
    if (!m_paused)
        return;
    m_paused = false;
    m_stream.SetPaused(false);
}

void AudioPlayer::Purge() {
    if (m_active && !m_synthDone && m_engine->Generation() == m_generation)
        m_engine->Cancel();
    m_active = false;
    m_paused = false;
    m_timer.stop();
    m_marks.clear();
    m_stream.Close();
}

void AudioPlayer::Fail(const QString& message) {
    Purge();
    emit failed(message);
}

} // namespace vocalix::speech
