#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Our own engine interface: both engine generations of the program speak through it.
namespace vocalix::speech {

struct VoiceInfo {
    std::string id;   // the back-end's voice name ("ru", "ru+f3")
    std::string name; // shown to the user, Windows-1251
    bool russian = false;
    bool speedFeature = true; // rate can be changed
    bool pitchFeature = true; // pitch can be changed
};

struct SynthParams {
    std::string voiceId;
    int rateWpm = 175; // words per minute
    int pitch = 50;    // 0 ... 99
    bool markup = false;
};

// A word reached at `sample` (counted from the start of the text's audio); start and length
// are the word's place in the spoken Windows-1251 string.
struct WordMark {
    long long sample = 0;
    int start = 0;
    int length = 0;
};

// A text as it went into an audio file: where its audio starts in the file, and its words with
// their sample positions (counted from that start, at `rate` Hz).
struct SpokenFragment {
    double startSeconds = 0;
    int rate = 22050;
    std::string text; // Windows-1251, as spoken
    std::vector<WordMark> words;
};

struct AudioChunk {
    std::vector<int16_t> samples; // mono, SampleRate() Hz
    std::vector<WordMark> words;
    bool last = false; // the text is fully synthesised
    std::string error; // non-empty: synthesis failed, nothing more follows
};

// Called on the engine's own thread; the generation tells a cancelled text's leftovers apart.
using ChunkSink = std::function<void(uint64_t generation, AudioChunk&& chunk)>;

class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;

    virtual bool Available() const = 0;
    virtual std::vector<VoiceInfo> Voices() = 0;
    virtual int SampleRate() const = 0;
    virtual int MinRate() const { return 80; }
    virtual int NormalRate() const { return 175; }
    virtual int MaxRate() const { return 450; }
    virtual int MinPitch() const { return 0; }
    virtual int NormalPitch() const { return 50; }
    virtual int MaxPitch() const { return 99; }

    // Starts synthesising a Windows-1251 text, dropping any earlier one; returns its generation.
    virtual uint64_t Synthesize(std::string cp1251, SynthParams params, ChunkSink sink) = 0;
    // Drops the text being synthesised (returns within milliseconds).
    virtual void Cancel() = 0;
    // Blocks until no synthesis runs (a cancelled one has stopped calling its sink).
    virtual void WaitIdle() = 0;
    virtual uint64_t Generation() const = 0;

    // Synthesises a whole text, blocking; false with a message on failure. `pump`, when set,
    // runs every few milliseconds meanwhile (the calling thread goes on with its events).
    bool SynthesizeAll(const std::string& cp1251, const SynthParams& params,
                       std::vector<int16_t>& samples, std::vector<WordMark>* words,
                       std::string* error, const std::function<void()>& pump = {});
};

// The engine of this process (eSpeak NG), created on first use.
std::shared_ptr<SpeechEngine> DefaultEngine();

} // namespace vocalix::speech
