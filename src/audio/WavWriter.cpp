#include "audio/WavWriter.h"

#include "base/AtomicFile.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace vocalix::audio {

AudioFormat AudioFormatOfIndex(int index) {
    static const int kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    if (index < 0 || index > 35)
        index = 18;
    return {kRates[index / 4], (index % 4) / 2 ? 16 : 8, index % 2 ? 2 : 1};
}

std::string StreamingWavHeader(AudioFormat f) {
    std::string h;
    auto le = [&h](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            h += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const int blockAlign = f.channels * f.bits / 8;
    h += "RIFF";
    le(0xFFFFFFFFu, 4);
    h += "WAVEfmt ";
    le(16, 4);
    le(1, 2);
    le(static_cast<uint32_t>(f.channels), 2);
    le(static_cast<uint32_t>(f.rate), 4);
    le(static_cast<uint32_t>(f.rate * blockAlign), 4);
    le(static_cast<uint32_t>(blockAlign), 2);
    le(static_cast<uint32_t>(f.bits), 2);
    h += "data";
    le(0xFFFFFFFFu, 4);
    return h;
}

WavWriter::~WavWriter() {
    Cancel();
}

bool WavWriter::Open(const std::filesystem::path& target, AudioFormat format, int inputRate,
                     std::string* error) {
    Cancel();
    m_target = target;
    m_temp = base::TempPathBeside(target);
    m_format = format;
    m_inputRate = inputRate;
    m_ratio = static_cast<double>(format.rate) / inputRate;
    m_inputFrames = m_outputFrames = 0;
    SF_INFO info{};
    info.samplerate = format.rate;
    info.channels = format.channels;
    info.format = SF_FORMAT_WAV | (format.bits == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
    m_file = sf_open(m_temp.c_str(), SFM_WRITE, &info);
    if (!m_file) {
        if (error)
            *error = "cannot create " + m_temp.string() + ": " + sf_strerror(nullptr);
        return false;
    }
    // Resampled peaks may pass full scale; clip them instead of letting them wrap around.
    sf_command(m_file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    if (format.rate != inputRate) {
        int rc = 0;
        m_resampler = src_new(SRC_SINC_FASTEST, 1, &rc);
        if (!m_resampler) {
            if (error)
                *error = std::string("resampler: ") + src_strerror(rc);
            Cancel();
            return false;
        }
    }
    return true;
}

double WavWriter::Seconds() const {
    return static_cast<double>(m_outputFrames) / m_format.rate;
}

bool WavWriter::Emit(const float* mono, long frames, std::string* error) {
    if (frames <= 0)
        return true;
    const float* data = mono;
    if (m_format.channels > 1) {
        m_frames.resize(static_cast<size_t>(frames) * static_cast<size_t>(m_format.channels));
        for (long i = 0; i < frames; ++i)
            for (int c = 0; c < m_format.channels; ++c)
                m_frames[static_cast<size_t>(i * m_format.channels + c)] = mono[i];
        data = m_frames.data();
    }
    if (sf_writef_float(m_file, data, frames) != frames) {
        if (error)
            *error = "cannot write " + m_temp.string() + ": " + sf_strerror(m_file);
        return false;
    }
    m_outputFrames += frames;
    if (tee) {
        const size_t count = static_cast<size_t>(frames) * static_cast<size_t>(m_format.channels);
        m_bytes.resize(count * static_cast<size_t>(m_format.bits / 8));
        char* out = m_bytes.data();
        for (size_t i = 0; i < count; ++i) {
            const float v = std::clamp(data[i], -1.0f, 1.0f);
            if (m_format.bits == 8) {
                *out++ = static_cast<char>(std::lround(v * 127.0f) + 128);
            } else {
                const auto s = static_cast<int16_t>(std::lround(v * 32767.0f));
                *out++ = static_cast<char>(s & 0xFF);
                *out++ = static_cast<char>((s >> 8) & 0xFF);
            }
        }
        tee(m_bytes.data(), m_bytes.size());
    }
    return true;
}

bool WavWriter::Resample(const float* in, long frames, bool last, std::string* error) {
    SRC_DATA data{};
    data.data_in = in;
    data.input_frames = frames;
    data.src_ratio = m_ratio;
    data.end_of_input = last ? 1 : 0;
    m_out.resize(static_cast<size_t>(std::ceil(frames * m_ratio)) + 256);
    for (;;) {
        data.data_out = m_out.data();
        data.output_frames = static_cast<long>(m_out.size());
        if (const int rc = src_process(m_resampler, &data)) {
            if (error)
                *error = std::string("resampler: ") + src_strerror(rc);
            return false;
        }
        if (!Emit(m_out.data(), data.output_frames_gen, error))
            return false;
        data.data_in += data.input_frames_used;
        data.input_frames -= data.input_frames_used;
        if (data.input_frames == 0 && (data.output_frames_gen == 0 || !last))
            return true;
    }
}

bool WavWriter::Write(const int16_t* samples, size_t count, std::string* error) {
    if (!m_file) {
        if (error)
            *error = "the audio file is not open";
        return false;
    }
    if (count == 0)
        return true;
    if (!m_resampler && m_format.bits == 16 && m_format.channels == 1) {
        // The engine's own format: the samples go out as they are.
        m_inputFrames += static_cast<long long>(count);
        const auto frames = static_cast<sf_count_t>(count);
        if (sf_write_short(m_file, samples, frames) != frames) {
            if (error)
                *error = "cannot write " + m_temp.string() + ": " + sf_strerror(m_file);
            return false;
        }
        m_outputFrames += frames;
        if (tee) {
            m_bytes.resize(count * 2);
            for (size_t i = 0; i < count; ++i) {
                m_bytes[2 * i] = static_cast<char>(samples[i] & 0xFF);
                m_bytes[2 * i + 1] = static_cast<char>((samples[i] >> 8) & 0xFF);
            }
            tee(m_bytes.data(), m_bytes.size());
        }
        return true;
    }
    m_in.resize(count);
    src_short_to_float_array(samples, m_in.data(), static_cast<int>(count));
    m_inputFrames += static_cast<long long>(count);
    if (!m_resampler)
        return Emit(m_in.data(), static_cast<long>(count), error);
    // The converter holds back its last few milliseconds until the end of the input; those
    // come out when the file is committed.
    return Resample(m_in.data(), static_cast<long>(count), false, error);
}

bool WavWriter::Commit(std::string* error) {
    if (!m_file) {
        if (error)
            *error = "the audio file is not open";
        return false;
    }
    bool ok = true;
    const long long wanted = std::llround(static_cast<double>(m_inputFrames) * m_ratio);
    if (m_resampler) {
        // Silence behind the text flushes what the converter holds back; the file is then cut
        // to exactly the input's length at the new rate.
        std::vector<float> pad(static_cast<size_t>(m_inputRate / 10), 0.0f);
        ok = Resample(pad.data(), static_cast<long>(pad.size()), true, error);
    }
    if (ok && m_outputFrames < wanted) {
        std::vector<float> silence(static_cast<size_t>(wanted - m_outputFrames), 0.0f);
        ok = Emit(silence.data(), static_cast<long>(silence.size()), error);
    }
    if (ok && m_outputFrames > wanted) {
        sf_count_t frames = wanted;
        if (sf_command(m_file, SFC_FILE_TRUNCATE, &frames, sizeof(frames)) != 0) {
            if (error)
                *error = "cannot trim " + m_temp.string();
            ok = false;
        } else {
            m_outputFrames = wanted;
        }
    }
    if (ok && sf_close(m_file) != 0) {
        if (error)
            *error = "cannot write " + m_temp.string();
        ok = false;
    }
    if (ok) {
        m_file = nullptr;
        std::error_code ec;
        std::filesystem::rename(m_temp, m_target, ec);
        if (ec) {
            if (error)
                *error = "cannot replace " + m_target.string() + ": " + ec.message();
            ok = false;
        }
    }
    if (!ok) {
        Cancel();
        return false;
    }
    if (m_resampler)
        m_resampler = src_delete(m_resampler);
    return true;
}

void WavWriter::Cancel() {
    if (m_file) {
        sf_close(m_file);
        m_file = nullptr;
        std::error_code ec;
        std::filesystem::remove(m_temp, ec);
    }
    if (m_resampler)
        m_resampler = src_delete(m_resampler);
}

} // namespace vocalix::audio
