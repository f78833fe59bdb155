#pragma once

#include "speech/AudioPlayer.h"
#include "speech/SpeechEngine.h"

#include <QObject>
#include <QSaveFile>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The SAPI 5 generation: the objects SpVoice and SpFileStream with the operations the program
// calls on them, over our engine interface.
namespace vocalix::speech {

// A failing platform call (the message is for the user, UTF-8).
struct SpeechError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// A file stream that cannot be written (disk full, no such folder, too long for WAV).
struct SpeechStreamError : SpeechError {
    using SpeechError::SpeechError;
};

// Speak flags.
enum SpeechVoiceSpeakFlags : int {
    SVSFlagsAsync = 1,
    SVSFPurgeBeforeSpeak = 2,
    SVSFIsXML = 8,
    SVSFIsNotXML = 16,
};

// Event interest bits (33790 asks for all of them).
enum SpeechVoiceEvents : int {
    SVEStartInputStream = 2,
    SVEEndInputStream = 4,
    SVEWordBoundary = 32,
};

class SpObjectToken {
public:
    explicit SpObjectToken(VoiceInfo voice) : m_voice(std::move(voice)) {}
    // The voice name shown in the list (Windows-1251); the locale is ignored.
    std::string GetDescription(int locale = 0) const;
    const VoiceInfo& Voice() const { return m_voice; }

private:
    VoiceInfo m_voice;
};
using SpObjectTokenPtr = std::shared_ptr<SpObjectToken>;

// The platform's numbering of the audio formats: 4 (8 kHz 8-bit mono) ... 39 (48 kHz 16-bit
// stereo), rate outermost, then bits, then channels.
struct SpAudioFormatSpec {
    int rate = 22050;
    int bits = 16;
    int channels = 1;
};
SpAudioFormatSpec AudioFormatOfType(int type); // throws SpeechError outside 4 ... 39

struct SpAudioFormat {
    int Type = 22; // SAFT22kHz16BitMono
};

enum SpeechStreamFileMode : int { SSFMCreateForWrite = 3 };
enum SpeechStreamSeekPositionType : int {
    SSSPTRelativeToStart = 0,
    SSSPTRelativeToCurrent = 1,
    SSSPTRelativeToEnd = 2
};

// A WAV file written by speaking into it. Positions count bytes of audio data; the file
// appears under its name only when closed, complete.
class SpFileStream {
public:
    SpFileStream() = default;
    ~SpFileStream();
    SpFileStream(const SpFileStream&) = delete;
    SpFileStream& operator=(const SpFileStream&) = delete;

    SpAudioFormat Format;

    void Open(const std::string& path, int mode = SSFMCreateForWrite, bool events = false);
    long long Seek(long long offset, int origin);
    void Close();
    bool IsOpen() const { return m_file != nullptr; }

    // Writes mono 16-bit samples at `rate` Hz, converted to the stream's format, at the
    // current position.
    void Write(const std::vector<int16_t>& samples, int rate);

    // Records what the next Write will hold: its text and its words (for subtitles).
    void NoteSpoken(const std::string& text, std::vector<WordMark> words, int rate);
    // The texts spoken into the stream so far, in order; the stream forgets them.
    std::vector<SpokenFragment> TakeSpoken() { return std::move(m_spoken); }

    // Bytes of audio data in the stream, and how long they play.
    long long Size() const { return m_size; }
    double Seconds() const;

    // Gets the audio data appended at the end of the stream as it is written (an encoder
    // reads the recording while it is made). Writing anywhere else ends the copy for good:
    // TeeIntact() then tells that the copy is not the file.
    std::function<void(const char* bytes, size_t size)> tee;
    bool TeeIntact() const { return m_teeIntact; }

private:
    void WriteHeader();
    std::unique_ptr<QSaveFile> m_file;
    SpAudioFormatSpec m_spec;
    long long m_position = 0;
    long long m_size = 0;
    bool m_teeIntact = true;
    std::vector<SpokenFragment> m_spoken;
};

class SpVoice : public QObject {
    Q_OBJECT
public:
    explicit SpVoice(std::shared_ptr<SpeechEngine> engine = DefaultEngine(),
                     QObject* parent = nullptr);
    ~SpVoice() override;

    // Every voice of the engine, Russian ones first; throws SpeechError without an engine.
    std::vector<SpObjectTokenPtr> GetVoices(const std::string& requiredAttributes = {},
                                            const std::string& optionalAttributes = {});
    SpObjectTokenPtr Voice() const { return m_voice; }
    void SetVoice(SpObjectTokenPtr token);
    int Rate() const { return m_rate; }
    void SetRate(int rate); // -10 ... 10
    int EventInterests() const { return m_eventInterests; }
    void SetEventInterests(int interests) { m_eventInterests = interests; }
    SpFileStream* AudioOutputStream() const { return m_output; }
    void SetAudioOutputStream(SpFileStream* stream) { m_output = stream; }
    bool AllowAudioOutputFormatChangesOnNextSet = true;

    // Speaks a Windows-1251 text; returns the stream number. Throws SpeechError.
    int Speak(const std::string& text, int flags);
    // Synthesises the text as Speak would and drops the sound: the engine carries a little of
    // every text into the next one, so this leaves it exactly as speaking the text would.
    // Throws SpeechError.
    void Rehearse(const std::string& text, int flags);
    void Pause();
    void Resume();
    bool IsSpeaking() const { return m_player.IsActive(); }

    // Rate -10 ... 10 to the engine's words per minute (0 = normal, 10 = fastest).
    static int RateToWpm(int rate, const SpeechEngine& engine);

    AudioPlayer& Player() { return m_player; }
    const std::shared_ptr<SpeechEngine>& Engine() const { return m_engine; }

signals:
    void StartStream(int streamNumber);
    void EndStream(int streamNumber);
    void Word(int streamNumber, int characterPosition, int length);
    // Asynchronous output failed after Speak returned (no audio device, engine failure).
    void Failed(const QString& message);

private:
    SynthParams Params(int flags, const std::string& text) const;

    std::shared_ptr<SpeechEngine> m_engine;
    AudioPlayer m_player;
    SpObjectTokenPtr m_voice;
    SpFileStream* m_output = nullptr;
    int m_rate = 0;
    int m_eventInterests = 0;
    int m_stream = 0;
};

} // namespace vocalix::speech
