#pragma once

#include "audio/Encoder.h"
#include "audio/WavWriter.h"
#include "speech/SpeechEngine.h"

#include <filesystem>
#include <functional>
#include <string>

namespace vocalix::speech {
class Engines;
}

// Recording a text to a WAV file through the engine interface (never through an audio device),
// then converting it with the chosen encoder.
namespace vocalix::audio {

// The voice, rate and pitch the reading would use now, for either engine generation.
speech::SynthParams CurrentVoiceParams(const speech::Engines& engines, bool isXml);

// The WAV file of a text: its name with ".wav", or "_.wav" in the program folder when unnamed.
std::filesystem::path WavPathFor(const std::filesystem::path& textFile,
                                 const std::filesystem::path& programDir);

// The SAPI 4 recording speeds: cbX entry i (0 = "x1" ... 7 = "MAX") as a real-time factor.
int RealTimeFactorOfIndex(int index);

struct RecordSettings {
    int bytesInFrag = 4096;
    speech::SynthParams params;
    int formatIndex = 18;       // cbX entry of the audio format list
    int realTimeFactor = 65535; // 256 = real time; 65535 = as fast as possible
};

struct RecordHooks {
    std::function<void()> pump;          // between and during fragments
    std::function<bool()> stopRequested; // checked after each fragment
    std::function<void(int index, long long selectionEnd)> fragmentStarting;
    // Correction rules and pronunciation filter on a fragment; false ends the recording.
    std::function<bool(std::string&)> prepare;
};

struct RecordResult {
    bool written = false; // the WAV file exists (possibly shortened by Stop or an engine error)
    bool stopped = false; // Stop ended it early
    int fragments = 0;    // fragments recorded
    double seconds = 0;   // length of the audio
    std::string error;    // Windows-1251, for the user
};

// Speaks `text` fragment by fragment (fragments of BytesInFrag as the reading loop cuts them)
// into `wav`. No fragments: nothing is written. An engine error keeps what was recorded.
// `tee` (when set) gets the audio data as the file does.
RecordResult RecordToWave(speech::SpeechEngine& engine, const std::string& text,
                          const std::filesystem::path& wav, const RecordSettings& settings,
                          const RecordHooks& hooks,
                          const std::function<void(const char*, size_t)>& tee = {});

struct RecordOutcome {
    RecordResult record;
    bool converterRan = false;
    ConvertResult convert;
    std::filesystem::path audioFile; // the file left for the user (WAV, MP3 or OGG); empty if none
};

// RecordToWave and the converter of `acNumber` (also after Stop or an engine error). The
// encoder reads the recording while it is made; when that does not give a file, it runs again
// on the finished WAV (ConvertWav), whose result and message then count. `converting` is told
// when the wait for the encoder starts (true) and ends (false).
RecordOutcome RecordAndConvert(speech::SpeechEngine& engine, const std::string& text,
                               const std::filesystem::path& wav, const RecordSettings& settings,
                               int acNumber, const std::string& allParam,
                               const std::filesystem::path& programDir, const RecordHooks& hooks,
                               const std::function<void(bool)>& converting = {});

} // namespace vocalix::audio
