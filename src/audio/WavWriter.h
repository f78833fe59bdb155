#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;
typedef struct SRC_STATE_tag SRC_STATE;

// WAV files in the 36 formats of the recording list, written from the engine's mono PCM.
namespace vocalix::audio {

struct AudioFormat {
    int rate = 22050;
    int bits = 16;
    int channels = 1;
};

// A WAV header for a stream of unknown length (both sizes 0xFFFFFFFF), as encoders read from a
// pipe.
std::string StreamingWavHeader(AudioFormat format);

// The format of cbX entry `index` (0 = 8 kHz 8-bit mono ... 35 = 48 kHz 16-bit stereo);
// an index outside the list gives the default entry 18 (22 kHz 16-bit mono).
AudioFormat AudioFormatOfIndex(int index);

// Streams mono 16-bit samples into a WAV file, resampled to the file's rate and copied to
// every channel. The file is written under a temporary name beside the target and appears
// under its own name only when Commit succeeds, so a failed or abandoned recording never
// leaves a truncated file in place of an older one.
class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    bool Open(const std::filesystem::path& target, AudioFormat format, int inputRate,
              std::string* error);
    bool Write(const int16_t* samples, size_t count, std::string* error);
    bool Commit(std::string* error);
    void Cancel();
    bool IsOpen() const { return m_file != nullptr; }

    // Gets the audio data as it is written, in the file's sample format (an encoder reads the
    // recording while it is made).
    std::function<void(const char* bytes, size_t size)> tee;

    long long InputFrames() const { return m_inputFrames; }
    // Length of the audio written so far, in seconds.
    double Seconds() const;

private:
    bool Resample(const float* in, long frames, bool last, std::string* error);
    bool Emit(const float* mono, long frames, std::string* error);

    SNDFILE* m_file = nullptr;
    SRC_STATE* m_resampler = nullptr;
    std::filesystem::path m_target, m_temp;
    AudioFormat m_format;
    int m_inputRate = 22050;
    double m_ratio = 1.0;
    long long m_inputFrames = 0;
    long long m_outputFrames = 0;
    std::vector<float> m_in, m_out, m_frames;
    std::string m_bytes;
};

} // namespace vocalix::audio
