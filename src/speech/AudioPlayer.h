#pragma once

#include "speech/PulseStream.h"
#include "speech/SpeechEngine.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>

namespace vocalix::speech {

// Plays one synthesised text at a time, fed from the GUI thread. Word notifications follow the
// played audio (the sound server's clock), not wall time, so they stop when the audio stops and
// run ahead with it when the output takes audio faster than real time.
class AudioPlayer : public QObject {
    Q_OBJECT
public:
    explicit AudioPlayer(std::shared_ptr<SpeechEngine> engine, QObject* parent = nullptr);
    ~AudioPlayer() override;

    // Purges what plays and starts the text; false with a message when there is no usable
    // audio output.
    bool Speak(const std::string& cp1251, const SynthParams& params, QString* error);
    void Pause();
    void Resume();
    void Purge();
    bool IsActive() const { return m_active; }
    bool IsPaused() const { return m_paused; }
    long long PlayedSamples() const;
    // Where the word last notified begins in the audio (for measuring the highlight's lag).
    long long LastWordSample() const { return m_lastWordSample; }

    // Whether the default audio output would play now (asked within seconds); the reason when
    // not.
    static bool OutputAvailable(QString* why);

signals:
    void started();
    void firstSample();
    void word(int start, int length);
    void finished();
    void failed(const QString& message);

private:
    void OnChunk(uint64_t generation, AudioChunk&& chunk);
    void Tick();
    void Fail(const QString& message);

    std::shared_ptr<SpeechEngine> m_engine;
    PulseStream m_stream;
    QTimer m_timer;
    std::deque<WordMark> m_marks;
    uint64_t m_generation = 0;
    long long m_total = 0; // samples received for this text
    long long m_lastPlayed = -1;
    long long m_lastWordSample = 0;
    qint64 m_stallSince = 0;
    bool m_active = false;
    bool m_paused = false;
    bool m_synthDone = false;
    bool m_firstSample = false;
};

} // namespace vocalix::speech
