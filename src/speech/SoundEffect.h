#pragma once

#include "speech/PulseStream.h"

#include <QObject>
#include <QTimer>

#include <filesystem>

namespace vocalix::speech {

// A short sound file played once in the background (the "done" signal of long work). Nobody
// waits for it: a file that cannot be read, or an output that cannot play, leaves it quiet.
class SoundEffect : public QObject {
    Q_OBJECT
public:
    explicit SoundEffect(QObject* parent = nullptr);

    // Starts the file unless a sound is still playing; false when it will not be heard.
    bool Play(const std::filesystem::path& file);
    bool IsPlaying() const { return m_timer.isActive(); }

private:
    void Tick();
    void Stop();

    PulseStream m_stream;
    QTimer m_timer;
};

} // namespace vocalix::speech
