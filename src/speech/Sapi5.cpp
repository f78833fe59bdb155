#include "speech/Sapi5.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>

#include <samplerate.h>

#include <algorithm>
#include <cmath>

namespace vocalix::speech {

std::string SpObjectToken::GetDescription(int) const {
    return m_voice.name;
}

SpAudioFormatSpec AudioFormatOfType(int type) {
    static const int kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    if (type < 4 || type > 39)
        throw SpeechError("unsupported audio format type " + std::to_string(type));
    const int i = type - 4;
    return {kRates[i / 4], (i % 4) / 2 ? 16 : 8, i % 2 ? 2 : 1};
}

// ---- SpFileStream ----

SpFileStream::~SpFileStream() {
    // Never commit a half-written file that was not closed: the old file (if any) stays.
    if (m_file)
        m_file->cancelWriting();
}

void SpFileStream::Open(const std::string& path, int mode, bool) {
    if (mode != SSFMCreateForWrite)
        throw SpeechError("only writing is supported");
    m_spec = AudioFormatOfType(Format.Type);
    m_file = std::make_unique<QSaveFile>(QString::fromStdString(path));
    if (!m_file->open(QIODevice::WriteOnly)) {
        const std::string why = m_file->errorString().toStdString();
        m_file.reset();
        throw SpeechError("cannot create " + path + ": " + why);
    }
    m_position = 0;
    m_size = 0;
    m_teeIntact = true;
    m_spoken.clear();
    WriteHeader();
}

void SpFileStream::NoteSpoken(const std::string& text, std::vector<WordMark> words, int rate) {
    const int bytesPerSecond = m_spec.rate * m_spec.channels * m_spec.bits / 8;
    m_spoken.push_back(
        {static_cast<double>(m_position) / bytesPerSecond, rate, text, std::move(words)});
}

double SpFileStream::Seconds() const {
    const int bytesPerSecond = m_spec.rate * m_spec.channels * m_spec.bits / 8;
    return static_cast<double>(m_size) / bytesPerSecond;
}

void SpFileStream::WriteHeader() {
    auto le32 = [](QByteArray& b, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto le16 = [](QByteArray& b, uint16_t v) {
        b.append(static_cast<char>(v & 0xFF));
        b.append(static_cast<char>(v >> 8));
    };
    const uint16_t blockAlign = static_cast<uint16_t>(m_spec.channels * m_spec.bits / 8);
    QByteArray h("RIFF");
    le32(h, static_cast<uint32_t>(36 + m_size));
    h.append("WAVEfmt ");
    le32(h, 16);
    le16(h, 1);
    le16(h, static_cast<uint16_t>(m_spec.channels));
    le32(h, static_cast<uint32_t>(m_spec.rate));
    le32(h, static_cast<uint32_t>(m_spec.rate * blockAlign));
    le16(h, blockAlign);
    le16(h, static_cast<uint16_t>(m_spec.bits));
    h.append("data");
    le32(h, static_cast<uint32_t>(m_size));
    m_file->seek(0);
    m_file->write(h);
}

long long SpFileStream::Seek(long long offset, int origin) {
    if (!m_file)
        throw SpeechError("the file stream is not open");
    long long target = offset;
    if (origin == SSSPTRelativeToCurrent)
        target = m_position + offset;
    else if (origin == SSSPTRelativeToEnd)
        target = m_size + offset;
    m_position = std::clamp<long long>(target, 0, m_size);
    return m_position;
}

void SpFileStream::Write(const std::vector<int16_t>& samples, int rate) {
    if (!m_file)
        throw SpeechStreamError("the file stream is not open");
    std::vector<float> in(samples.size());
    src_short_to_float_array(samples.data(), in.data(), static_cast<int>(samples.size()));
    std::vector<float> out;
    if (rate == m_spec.rate) {
        out = std::move(in);
    } else {
        const double ratio = static_cast<double>(m_spec.rate) / rate;
        const long wanted = std::lround(static_cast<double>(samples.size()) * ratio);
        // The converter keeps the last few milliseconds back; silence behind them flushes them.
        in.resize(in.size() + static_cast<size_t>(rate / 10), 0.0f);
        out.resize(static_cast<size_t>(std::ceil(static_cast<double>(in.size()) * ratio)) + 16);
        SRC_DATA data{};
        data.data_in = in.data();
        data.input_frames = static_cast<long>(in.size());
        data.data_out = out.data();
        data.output_frames = static_cast<long>(out.size());
        data.src_ratio = ratio;
        if (src_simple(&data, SRC_SINC_FASTEST, 1) != 0)
            throw SpeechStreamError("resampling failed");
        out.resize(static_cast<size_t>(std::min(wanted, data.output_frames_gen)));
        out.resize(static_cast<size_t>(wanted), 0.0f);
    }
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(out.size()) * m_spec.channels * m_spec.bits / 8);
    for (float f : out) {
        const float v = std::clamp(f, -1.0f, 1.0f);
        for (int c = 0; c < m_spec.channels; ++c) {
            if (m_spec.bits == 8) {
                bytes.append(static_cast<char>(std::lround(v * 127.0f) + 128));
            } else {
                const auto s = static_cast<int16_t>(std::lround(v * 32767.0f));
                bytes.append(static_cast<char>(s & 0xFF));
                bytes.append(static_cast<char>((s >> 8) & 0xFF));
            }
        }
    }
    // The header counts in 32 bits: a longer recording has to be made in parts.
    if (44 + m_position + bytes.size() > 0xFFFFFFFFLL)
        throw SpeechStreamError("файл WAV не может быть больше 4 ГБ: включите запись по частям");
    m_file->seek(44 + m_position);
    if (m_file->write(bytes) != bytes.size())
        throw SpeechStreamError("cannot write the audio file: " +
                                m_file->errorString().toStdString());
    if (tee && m_teeIntact) {
        if (m_position == m_size)
            tee(bytes.constData(), static_cast<size_t>(bytes.size()));
        else
            m_teeIntact = false;
    }
    m_position += bytes.size();
    m_size = std::max(m_size, m_position);
}

void SpFileStream::Close() {
    if (!m_file)
        return;
    WriteHeader();
    const bool ok = m_file->commit();
    const std::string why = m_file->errorString().toStdString();
    m_file.reset();
    if (!ok)
        throw SpeechStreamError("cannot write the audio file: " + why);
}

// ---- SpVoice ----

SpVoice::SpVoice(std::shared_ptr<SpeechEngine> engine, QObject* parent)
    : QObject(parent), m_engine(std::move(engine)), m_player(m_engine) {
    connect(&m_player, &AudioPlayer::started, this, [this] {
        if (m_eventInterests & SVEStartInputStream)
            emit StartStream(m_stream);
    });
    connect(&m_player, &AudioPlayer::word, this, [this](int start, int length) {
        if (m_eventInterests & SVEWordBoundary)
            emit Word(m_stream, start, length);
    });
    connect(&m_player, &AudioPlayer::finished, this, [this] {
        if (m_eventInterests & SVEEndInputStream)
            emit EndStream(m_stream);
    });
    connect(&m_player, &AudioPlayer::failed, this, &SpVoice::Failed);
}

SpVoice::~SpVoice() = default;

std::vector<SpObjectTokenPtr> SpVoice::GetVoices(const std::string&, const std::string&) {
    if (!m_engine->Available())
        throw SpeechError("the speech engine could not be started");
    std::vector<SpObjectTokenPtr> tokens;
    for (const VoiceInfo& v : m_engine->Voices())
        tokens.push_back(std::make_shared<SpObjectToken>(v));
    if (tokens.empty())
        throw SpeechError("the speech engine has no voices");
    if (!m_voice)
        m_voice = tokens.front();
    return tokens;
}

void SpVoice::SetVoice(SpObjectTokenPtr token) {
    if (!token)
        throw SpeechError("no voice");
    m_voice = std::move(token);
}

void SpVoice::SetRate(int rate) {
    m_rate = std::clamp(rate, -10, 10);
}

int SpVoice::RateToWpm(int rate, const SpeechEngine& engine) {
    rate = std::clamp(rate, -10, 10);
    const int normal = engine.NormalRate();
    if (rate >= 0)
        return normal + (engine.MaxRate() - normal) * rate / 10;
    return normal + (normal - engine.MinRate()) * rate / 10;
}

SynthParams SpVoice::Params(int flags, const std::string& text) const {
    SynthParams p;
    if (m_voice)
        p.voiceId = m_voice->Voice().id;
    p.rateWpm = RateToWpm(m_rate, *m_engine);
    p.pitch = m_engine->NormalPitch();
    if (flags & SVSFIsXML)
        p.markup = true;
    else if (flags & SVSFIsNotXML)
        p.markup = false;
    else
        p.markup = !text.empty() && text.front() == '<';
    return p;
}

int SpVoice::Speak(const std::string& text, int flags) {
    if (!m_engine->Available())
        throw SpeechError("the speech engine could not be started");
    if (flags & SVSFPurgeBeforeSpeak)
        m_player.Purge();
    if (text.empty())
        return m_stream;
    const int stream = ++m_stream;
    const SynthParams params = Params(flags, text);
    if (m_output) {
        std::vector<int16_t> samples;
        std::vector<WordMark> words;
        std::string error;
        // The window goes on with its events while the engine works on the fragment.
        const auto pump = [] {
            if (QCoreApplication::instance())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        };
        if (!m_engine->SynthesizeAll(text, params, samples, &words, &error, pump))
            throw SpeechError(error);
        if (m_eventInterests & SVEStartInputStream)
            emit StartStream(stream);
        m_output->NoteSpoken(text, words, m_engine->SampleRate());
        m_output->Write(samples, m_engine->SampleRate());
        if (m_eventInterests & SVEWordBoundary)
            for (const WordMark& w : words)
                emit Word(stream, w.start, w.length);
        if (m_eventInterests & SVEEndInputStream)
            emit EndStream(stream);
        return stream;
    }
    QString error;
    if (!m_player.Speak(text, params, &error))
        throw SpeechError(error.toStdString());
    if (!(flags & SVSFlagsAsync)) {
        QEventLoop loop;
        QString failure;
        connect(&m_player, &AudioPlayer::finished, &loop, &QEventLoop::quit);
        connect(&m_player, &AudioPlayer::failed, &loop, [&](const QString& m) {
            failure = m;
            loop.quit();
        });
        if (m_player.IsActive())
            loop.exec();
        if (!failure.isEmpty())
            throw SpeechError(failure.toStdString());
    }
    return stream;
}

void SpVoice::Rehearse(const std::string& text, int flags) {
    if (text.empty())
        return;
    std::vector<int16_t> samples;
    std::string error;
    if (!m_engine->SynthesizeAll(text, Params(flags, text), samples, nullptr, &error))
        throw SpeechError(error);
}

void SpVoice::Pause() {
    m_player.Pause();
}
void SpVoice::Resume() {
    m_player.Resume();
}

} // namespace vocalix::speech
