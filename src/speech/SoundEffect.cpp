#include "speech/SoundEffect.h"

#include <sndfile.h>

#include <vector>

namespace vocalix::speech {
namespace {

// A signal, not a recording: anything longer is cut here rather than read whole into memory.
constexpr sf_count_t kMaxSeconds = 60;
constexpr int kOpenMs = 3000;

} // namespace

SoundEffect::SoundEffect(QObject* parent) : QObject(parent) {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &SoundEffect::Tick);
}

bool SoundEffect::Play(const std::filesystem::path& file) {
    if (IsPlaying())
        return false;
    SF_INFO info{};
    SNDFILE* sound = sf_open(file.c_str(), SFM_READ, &info);
    if (!sound)
        return false;
    const sf_count_t frames = std::min(info.frames, info.samplerate * kMaxSeconds);
    std::vector<short> samples(
        static_cast<size_t>(std::max<sf_count_t>(frames, 0) * info.channels));
    const sf_count_t read = frames > 0 ? sf_readf_short(sound, samples.data(), frames) : 0;
    sf_close(sound);
    if (read <= 0 || !m_stream.Open(info.samplerate, info.channels, kOpenMs, nullptr))
        return false;
    m_stream.Queue(reinterpret_cast<const char*>(samples.data()),
                   static_cast<size_t>(read * info.channels) * sizeof(short));
    m_stream.Finish();
    m_timer.start();
    return true;
}

void SoundEffect::Tick() {
    if (m_stream.Failed() || m_stream.Drained())
        Stop();
}

void SoundEffect::Stop() {
    m_timer.stop();
    m_stream.Close();
}

} // namespace vocalix::speech
