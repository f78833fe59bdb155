#pragma once

#include "speech/SpeechEngine.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace vocalix::speech {

// eSpeak NG in-process. eSpeak is global and not thread-safe, so one worker thread owns every
// call into it (synchronous mode); a text is cancelled by moving the generation counter, which
// the synthesis callback checks.
class EspeakEngine final : public SpeechEngine {
public:
    EspeakEngine();
    ~EspeakEngine() override;

    bool Available() const override { return m_sampleRate > 0; }
    std::vector<VoiceInfo> Voices() override;
    int SampleRate() const override { return m_sampleRate > 0 ? m_sampleRate : 22050; }
    uint64_t Synthesize(std::string cp1251, SynthParams params, ChunkSink sink) override;
    void Cancel() override;
    void WaitIdle() override;
    uint64_t Generation() const override { return m_generation.load(); }

    // eSpeak's phonemes of a Windows-1251 word in a voice: ASCII names separated by "_".
    std::string WordPhonemes(const std::string& cp1251Word, const std::string& voiceId);

    // The cuts made to start playing early: 0-based offsets where each chunk begins.
    static std::vector<size_t> ChunkStarts(std::string_view cp1251);

private:
    struct Job;
    void Run();
    void RunOnWorker(std::function<void()> task); // blocking
    void Speak(Job& job);
    static int Callback(short* wav, int count, void* events);

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    std::deque<std::function<void()>> m_tasks;
    bool m_busy = false;
    bool m_quit = false;
    std::atomic<uint64_t> m_generation{0};
    int m_sampleRate = 0;
    std::vector<VoiceInfo> m_voices;
};

// Windows-1251 text as eSpeak reads it: UTF-8 with one character per byte (NUL and the
// undefined 0x98 become spaces).
std::string EspeakUtf8(std::string_view cp1251);

} // namespace vocalix::speech
