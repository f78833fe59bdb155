#pragma once

#include "audio/Encoder.h"
#include "base/Options.h"
#include "speech/Sapi5.h"

#include <filesystem>
#include <functional>
#include <string>

// Recording a text to a WAV file through the voice's file stream (never through an audio
// device), then converting it with the chosen encoder.
namespace vocalix::audio {

// The WAV file of a text: its name with ".wav", or "_.wav" in the program folder when unnamed.
std::filesystem::path WavPathFor(const std::filesystem::path& textFile,
                                 const std::filesystem::path& programDir);

// The SAPI 4 recording speeds: cbX entry i (0 = "x1" ... 7 = "MAX") as a real-time factor.
int RealTimeFactorOfIndex(int index);

struct RecordSettings {
    int bytesInFrag = 4096;
    bool isXml = false;     // the fragments are spoken as markup
    int formatIndex = 18;   // cbX entry of the audio format list (format type = entry + 4)
    bool subtitles = false; // "name.srt" and "name.lrc" beside the audio file
    int workers = 1;        // processes that record a long text (0 = one per processor)
    AudioTags tags;         // written into an MP3 or OGG file
};

// The settings a recording takes from the program's options (the tags are the caller's).
RecordSettings RecordSettingsOf(const base::Options& options);

struct RecordHooks {
    std::function<void()> pump;          // between and during fragments
    std::function<bool()> stopRequested; // checked after each fragment
    std::function<void(int index, long long selectionEnd)> fragmentStarting;
    // Correction rules and pronunciation filter on a fragment; false ends the recording.
    std::function<bool(std::string&)> prepare;
};

struct RecordResult {
    bool written = false;     // the WAV file exists (possibly shortened by Stop or an engine error)
    bool stopped = false;     // Stop ended it early
    int fragments = 0;        // fragments recorded
    double seconds = 0;       // length of the audio
    bool copyComplete = true; // the tee got every byte of the file's audio data, in order
    std::vector<speech::SpokenFragment> spoken; // the texts in the file, with their word timing
    std::string error;                          // Windows-1251, for the user
};

// Speaks `text` fragment by fragment (fragments of BytesInFrag as the reading loop cuts them)
// with `voice` into a file stream on `wav`, each fragment written where the last one ended.
// No fragments: nothing is written. An engine error keeps what was recorded. `tee` (when set)
// gets the audio data as the file does. The voice's own output is given back afterwards.
RecordResult RecordToWave(speech::SpVoice& voice, const std::string& text,
                          const std::filesystem::path& wav, const RecordSettings& settings,
                          const RecordHooks& hooks,
                          const std::function<void(const char*, size_t)>& tee = {});

// RecordToWave on fragments already cut; `hooks.fragmentStarting` gets -1 as the selection
// end.
RecordResult RecordFragments(speech::SpVoice& voice, const std::vector<std::string>& fragments,
                             const std::filesystem::path& wav, const RecordSettings& settings,
                             const RecordHooks& hooks,
                             const std::function<void(const char*, size_t)>& tee = {});

struct RecordOutcome {
    RecordResult record;
    bool converterRan = false;
    ConvertResult convert;
    std::filesystem::path audioFile; // the file left for the user (WAV, MP3 or OGG); empty if none
    std::string subtitlesError;      // Windows-1251; empty when written or not asked for
};

// The converter of `acNumber` on a finished recording (also after Stop or an engine error).
// When an encoder read the recording while it was made (`encoder`, may be null), its file is
// taken; otherwise it runs on the finished WAV (ConvertWav), whose result and message then
// count. `converting` is told when the wait for the encoder starts (true) and ends (false).
// With `subtitles`, "name.srt" and "name.lrc" go beside the file left for the user. `tags`
// go into the encoder's file (the streaming encoder was started with them).
RecordOutcome ConvertRecording(RecordResult record, const std::filesystem::path& wav,
                               EncodedCopy* encoder, int acNumber, const std::string& allParam,
                               const std::filesystem::path& programDir,
                               const std::function<void()>& pump,
                               const std::function<void(bool)>& converting, bool subtitles = false,
                               const AudioTags& tags = {});

// RecordToWave and the converter of `acNumber`; the encoder reads the recording while it is
// made. With more than one worker (`settings.workers`) and the program's own engine, the text
// is recorded by worker processes (RecordWithWorkers).
RecordOutcome RecordAndConvert(speech::SpVoice& voice, const std::string& text,
                               const std::filesystem::path& wav, const RecordSettings& settings,
                               int acNumber, const std::string& allParam,
                               const std::filesystem::path& programDir, const RecordHooks& hooks,
                               const std::function<void(bool)>& converting = {});

} // namespace vocalix::audio
