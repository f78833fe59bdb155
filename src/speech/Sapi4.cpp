#include "speech/Sapi4.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>

namespace vocalix::speech {
namespace {

uint64_t TimeStamp() {
    return static_cast<uint64_t>(QDateTime::currentMSecsSinceEpoch());
}

constexpr int kFileTickMs = 20;

} // namespace

// ---- audio destinations ----

HRESULT AudioMultiMediaDevice::DeviceNumSet(uint32_t device) {
    m_device = device;
    return S_OK;
}

HRESULT AudioFile::Set(const std::string& path, uint32_t) {
    try {
        if (m_stream.IsOpen())
            m_stream.Close();
        m_path = path;
        m_spoken.clear();
        m_stream.Format.Type = 22; // the engine's own 22 kHz 16-bit mono
        m_stream.Open(path);
        return S_OK;
    } catch (const SpeechError&) {
        return E_FAIL;
    }
}

HRESULT AudioFile::RealTimeSet(uint16_t factor) {
    if (factor == 0)
        return E_INVALIDARG;
    m_realTime = factor;
    return S_OK;
}

HRESULT AudioFile::Flush() {
    try {
        m_spoken = m_stream.TakeSpoken();
        m_stream.Close();
        return S_OK;
    } catch (const SpeechError&) {
        return E_FAIL;
    }
}

void AudioFile::NoteSpoken(const std::string& text, const std::vector<WordMark>& words, int rate) {
    if (m_stream.IsOpen())
        m_stream.NoteSpoken(text, words, rate);
}

std::vector<SpokenFragment> AudioFile::TakeSpoken() {
    return m_stream.IsOpen() ? m_stream.TakeSpoken() : std::move(m_spoken);
}

void AudioFile::Write(const std::vector<int16_t>& samples, int rate) {
    if (m_stream.IsOpen())
        m_stream.Write(samples, rate);
}

// ---- attributes ----

HRESULT TTSAttributes::SpeedGet(uint32_t* speed) {
    if (!m_central.m_voice.speedFeature)
        return E_NOTIMPL;
    *speed = m_central.m_speed;
    return S_OK;
}

HRESULT TTSAttributes::SpeedSet(uint32_t speed) {
    if (!m_central.m_voice.speedFeature)
        return E_NOTIMPL;
    const auto& e = *m_central.m_engine;
    m_central.m_speed = std::clamp<uint32_t>(speed, static_cast<uint32_t>(e.MinRate()),
                                             static_cast<uint32_t>(e.MaxRate()));
    return S_OK;
}

HRESULT TTSAttributes::PitchGet(uint16_t* pitch) {
    if (!m_central.m_voice.pitchFeature)
        return E_NOTIMPL;
    *pitch = m_central.m_pitch;
    return S_OK;
}

HRESULT TTSAttributes::PitchSet(uint16_t pitch) {
    if (!m_central.m_voice.pitchFeature)
        return E_NOTIMPL;
    const auto& e = *m_central.m_engine;
    m_central.m_pitch = std::clamp<uint16_t>(pitch, static_cast<uint16_t>(e.MinPitch()),
                                             static_cast<uint16_t>(e.MaxPitch()));
    return S_OK;
}

// ---- engine ----

TTSCentral::TTSCentral(std::shared_ptr<SpeechEngine> engine, const VoiceInfo& voice,
                       std::shared_ptr<AudioDestination> destination)
    : m_engine(std::move(engine)), m_voice(voice), m_destination(std::move(destination)),
      m_player(m_engine), m_speed(static_cast<uint32_t>(m_engine->NormalRate())),
      m_pitch(static_cast<uint16_t>(m_engine->NormalPitch())) {
    m_file = dynamic_cast<AudioFile*>(m_destination.get());
    if (voice.speedFeature || voice.pitchFeature)
        m_attributes = std::make_shared<TTSAttributes>(*this);
    m_dialogs = std::make_shared<TTSDialogs>();
    connect(&m_player, &AudioPlayer::started, this,
            [this] { ForEachNotify([](ITTSNotifySink& s) { s.AudioStart(TimeStamp()); }); });
    connect(&m_player, &AudioPlayer::word, this, [this](int start, int) {
        if (m_current)
            m_current->WordPosition(TimeStamp(), static_cast<uint32_t>(start));
    });
    connect(&m_player, &AudioPlayer::finished, this, &TTSCentral::Finish);
    connect(&m_player, &AudioPlayer::failed, this, [this](const QString& message) {
        m_active = false;
        m_queue.clear();
        m_lastError = message;
        emit Failed(message);
    });
    m_fileTimer.setInterval(kFileTickMs);
    connect(&m_fileTimer, &QTimer::timeout, this, &TTSCentral::FileTick);
}

TTSCentral::~TTSCentral() {
    // Unregister, purge, then destroy: nothing that is torn down below may still call a sink
    // or this object.
    m_fileTimer.stop();
    disconnect(&m_player, nullptr, this, nullptr);
    m_player.Purge();
    m_notify.clear();
    m_current.reset();
    m_queue.clear();
    if (m_file && m_active)
        m_engine->Cancel();
    m_active = false;
    m_engine->WaitIdle();
    QCoreApplication::removePostedEvents(this);
}

template <class F> void TTSCentral::ForEachNotify(F f) {
    // A sink may unregister itself while being called.
    auto sinks = m_notify;
    for (auto& [key, sink] : sinks)
        f(*sink);
}

HRESULT TTSCentral::Register(std::shared_ptr<ITTSNotifySink> sink, const std::string& iid,
                             uint32_t* key) {
    if (!sink || iid != IID_ITTSNotifySinkA || !key)
        return E_INVALIDARG;
    *key = m_nextKey++;
    m_notify[*key] = std::move(sink);
    return S_OK;
}

HRESULT TTSCentral::UnRegister(uint32_t key) {
    return m_notify.erase(key) ? S_OK : E_INVALIDARG;
}

HRESULT TTSCentral::TextData(int charSet, uint32_t, SDATA text,
                             std::shared_ptr<ITTSBufNotifySink> sink, const std::string& iid) {
    if (charSet != CHARSET_TEXT || (sink && iid != IID_ITTSBufNotifySink))
        return E_INVALIDARG;
    std::string s;
    if (text.pData && text.dwSize > 0) {
        s.assign(static_cast<const char*>(text.pData), text.dwSize);
        if (!s.empty() && s.back() == '\0')
            s.pop_back();
    }
    m_queue.push_back({std::move(s), std::move(sink)});
    if (m_active)
        return S_OK;
    m_lastError.clear();
    StartNext();
    return m_lastError.isEmpty() ? S_OK : E_FAIL;
}

void TTSCentral::StartNext() {
    if (m_queue.empty())
        return;
    Pending next = std::move(m_queue.front());
    m_queue.pop_front();
    m_current = next.sink;
    SynthParams params;
    params.voiceId = m_voice.id;
    params.rateWpm = static_cast<int>(m_speed);
    params.pitch = m_pitch;
    if (m_current)
        m_current->TextDataStarted(TimeStamp());
    if (m_file) {
        if (!m_file->IsOpen()) {
            m_lastError = QString::fromUtf8("Файл для звука не задан.");
            m_queue.clear();
            return;
        }
        m_active = true;
        m_fileSamples.clear();
        m_fileWords.clear();
        m_fileWritten = 0;
        m_fileWord = 0;
        std::string error;
        // Synthesis is about a thousand times faster than real time; the pacing below is what
        // the real-time factor asks for.
        if (!m_engine->SynthesizeAll(next.text, params, m_fileSamples, &m_fileWords, &error)) {
            m_active = false;
            m_lastError = QString::fromStdString(error);
            m_queue.clear();
            return;
        }
        m_file->NoteSpoken(next.text, m_fileWords, m_engine->SampleRate());
        ForEachNotify([](ITTSNotifySink& s) { s.AudioStart(TimeStamp()); });
        m_fileTimer.setProperty("start", QDateTime::currentMSecsSinceEpoch());
        m_fileTimer.setProperty("budget", 0.0);
        m_fileTimer.start();
        // Notifications come from the event loop, as the platform sends them: never inside
        // the call that queued the text.
        QMetaObject::invokeMethod(
            this, [this] { FileTick(); }, Qt::QueuedConnection);
        return;
    }
    QString error;
    m_active = true;
    if (!m_player.Speak(next.text, params, &error)) {
        m_active = false;
        m_lastError = error;
        m_queue.clear();
    }
}

void TTSCentral::FileTick() {
    if (!m_active || m_paused)
        return;
    const int rate = m_engine->SampleRate();
    size_t until = m_fileSamples.size();
    if (m_file->RealTime() != 0xFFFF) {
        const double budget = m_fileTimer.property("budget").toDouble() +
                              rate * (kFileTickMs / 1000.0) * m_file->RealTime() / 256.0;
        m_fileTimer.setProperty("budget", budget);
        until = std::min(until, static_cast<size_t>(budget));
    }
    if (until > m_fileWritten) {
        std::vector<int16_t> part(m_fileSamples.begin() + static_cast<long>(m_fileWritten),
                                  m_fileSamples.begin() + static_cast<long>(until));
        try {
            m_file->Write(part, rate);
        } catch (const SpeechError& e) {
            m_active = false;
            m_fileTimer.stop();
            m_lastError = QString::fromStdString(e.what());
            emit Failed(m_lastError);
            return;
        }
        m_fileWritten = until;
    }
    while (m_fileWord < m_fileWords.size() &&
           m_fileWords[m_fileWord].sample <= static_cast<long long>(m_fileWritten)) {
        if (m_current)
            m_current->WordPosition(TimeStamp(),
                                    static_cast<uint32_t>(m_fileWords[m_fileWord].start));
        ++m_fileWord;
        if (!m_active)
            return;
    }
    if (m_fileWritten >= m_fileSamples.size()) {
        m_fileTimer.stop();
        Finish();
    }
}

void TTSCentral::Finish() {
    if (!m_active)
        return;
    m_active = false;
    auto sink = m_current;
    if (sink)
        sink->TextDataDone(TimeStamp(), 0);
    ForEachNotify([](ITTSNotifySink& s) { s.AudioStop(TimeStamp()); });
    if (!m_active && !m_queue.empty())
        StartNext();
}

HRESULT TTSCentral::AudioPause() {
    m_paused = true;
    m_player.Pause();
    return S_OK;
}

HRESULT TTSCentral::AudioResume() {
    m_paused = false;
    m_player.Resume();
    return S_OK;
}

HRESULT TTSCentral::AudioReset() {
    const bool wasActive = m_active;
    m_queue.clear();
    m_active = false;
    m_paused = false;
    m_player.Purge();
    m_fileTimer.stop();
    if (wasActive) {
        // As with the platform, the stop arrives later, as a notification.
        QMetaObject::invokeMethod(
            this, [this] { ForEachNotify([](ITTSNotifySink& s) { s.AudioStop(TimeStamp()); }); },
            Qt::QueuedConnection);
    }
    return S_OK;
}

// ---- enumerator ----

TTSEnum::TTSEnum(std::shared_ptr<SpeechEngine> engine) : m_engine(std::move(engine)) {
    m_voices = m_engine->Voices();
}

HRESULT TTSEnum::Reset() {
    m_position = 0;
    return S_OK;
}

HRESULT TTSEnum::Skip(uint32_t count) {
    m_position = std::min(m_voices.size(), m_position + count);
    return m_position < m_voices.size() ? S_OK : S_FALSE;
}

HRESULT TTSEnum::Next(uint32_t count, TTSMODEINFO* modes, uint32_t* fetched) {
    uint32_t n = 0;
    while (n < count && m_position < m_voices.size()) {
        const VoiceInfo& v = m_voices[m_position++];
        TTSMODEINFO& m = modes[n++];
        m.gModeID = v.id;
        m.szModeName = v.name.substr(0, 262);
        m.dwFeatures =
            (v.speedFeature ? TTSFEATURE_SPEED : 0) | (v.pitchFeature ? TTSFEATURE_PITCH : 0);
        m.dwInterfaces =
            TTSI_ITTSDIALOGS | (v.speedFeature || v.pitchFeature ? TTSI_ITTSATTRIBUTES : 0);
    }
    if (fetched)
        *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

HRESULT TTSEnum::Select(const std::string& modeId, std::shared_ptr<TTSCentral>* central,
                        std::shared_ptr<AudioDestination> destination) {
    if (!central || !destination)
        return E_INVALIDARG;
    for (const VoiceInfo& v : m_voices) {
        if (v.id == modeId) {
            *central = std::make_shared<TTSCentral>(m_engine, v, std::move(destination));
            return S_OK;
        }
    }
    return E_INVALIDARG;
}

std::shared_ptr<TTSEnum> CreateTTSEnum(std::shared_ptr<SpeechEngine> engine) {
    if (!engine || !engine->Available() || engine->Voices().empty())
        return nullptr;
    return std::make_shared<TTSEnum>(std::move(engine));
}

} // namespace vocalix::speech
