#pragma once

#include "audio/AudioTags.h"
#include "speech/Sapi5.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The external encoders that turn a recorded WAV file into MP3 (lame) or OGG (oggenc).
namespace vocalix::audio {

// ".mp3" for converter 1, ".ogg" for 2, "" for anything else (the WAV file is kept).
std::string ConverterExtension(int acNumber);

// The encoder program of a converter ("lame", "oggenc"); "" when there is none.
std::string EncoderProgram(int acNumber);

// The command line as messages show it (UTF-8): the program, the options unchanged, then the
// WAV and the target path, each in double quotes when it holds a space.
std::string ConverterCommandLine(int acNumber, const std::string& allParam, const std::string& wav,
                                 const std::string& target);

// The program folder first, then PATH; empty when the encoder is nowhere.
std::filesystem::path FindEncoder(const std::string& program,
                                  const std::filesystem::path& programDir);

// The encoder's own options that write `tags` into its file; none for the WAV converter or
// when there is nothing to write.
std::vector<std::string> EncoderTagArguments(int acNumber, const AudioTags& tags);

// The environment an encoder runs in ("NAME=value" items): this program's, but with a UTF-8
// locale, since lame reads the tag texts by the locale (under "C" it writes them empty), and
// with untranslated messages, whose text is looked for in its error output.
std::vector<std::string> EncoderEnvironment();

// The argument vector for the encoder: the tag options, then the user's options. For oggenc a
// bit-rate option "-N" becomes "-b N" and, when `oggQuality` is given (not below -1), every
// bit-rate choice is replaced by "-q Q".
std::vector<std::string> EncoderArguments(int acNumber, const std::string& allParam,
                                          const std::filesystem::path& wav,
                                          const std::filesystem::path& output, int oggQuality = -2,
                                          const AudioTags& tags = {});

// The oggenc quality whose nominal bit rate comes closest to `kbps`.
int OggQualityForBitRate(int kbps);

struct ConvertResult {
    enum class Status { Converted, NotStarted, Failed };
    Status status = Status::Failed;
    std::string commandLine; // UTF-8, as shown in messages
    std::string message;     // Windows-1251, for the user; empty when converted
    int exitCode = -1;
};

// Runs the encoder on `wav`, writing `target` (beside it under a temporary name first, so that
// a failing encoder never leaves a broken file under the target's name). The WAV file is
// deleted only when the encoder exited with 0 and left a non-empty file; otherwise it stays
// and the message says so. `pump` runs while waiting (the window processes its events).
ConvertResult ConvertWav(int acNumber, const std::string& allParam,
                         const std::filesystem::path& wav, const std::filesystem::path& target,
                         const std::filesystem::path& programDir,
                         const std::function<void()>& pump = {}, const AudioTags& tags = {});

// The 44-byte header of a WAV file holding `dataBytes` of audio data.
std::string WavHeader(const speech::SpAudioFormatSpec& format, uint32_t dataBytes);

// A WAV header for a stream of unknown length (both sizes 0xFFFFFFFF), as encoders read from a
// pipe.
std::string StreamingWavHeader(const speech::SpAudioFormatSpec& format);

// An encoded file made while the recording was made, waiting for the target's name.
class EncodedCopy {
public:
    virtual ~EncodedCopy() = default;
    // Completes the file and gives it the target's name; false when there is no good file
    // (then nothing is left behind). `pump` runs while waiting.
    virtual bool Finish(const std::function<void()>& pump) = 0;
    // Drops the file.
    virtual void Abort() = 0;
};

// The encoder reading the recording from a pipe while it is made, so that encoding overlaps
// synthesis. Whatever goes wrong here, the WAV file is still written whole and ConvertWav can
// take over from it.
class StreamingEncoder : public EncodedCopy {
public:
    StreamingEncoder();
    ~StreamingEncoder() override;
    StreamingEncoder(const StreamingEncoder&) = delete;
    StreamingEncoder& operator=(const StreamingEncoder&) = delete;

    // False when the encoder cannot be started (then nothing is left behind).
    bool Start(int acNumber, const std::string& allParam, const std::filesystem::path& target,
               const std::filesystem::path& programDir, const std::string& wavHeader,
               const AudioTags& tags = {});
    // Feeds audio data; waits while the encoder is far behind (running `pump` meanwhile).
    void Write(const char* bytes, size_t size, const std::function<void()>& pump);
    // Ends the stream and waits; true when the encoder exited with 0 and its file (not empty)
    // is now the target.
    bool Finish(const std::function<void()>& pump) override;
    // Stops the encoder and removes its partial file.
    void Abort() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace vocalix::audio
