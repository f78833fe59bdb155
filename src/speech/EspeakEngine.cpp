#include "speech/EspeakEngine.h"

#include "base/Cp1251.h"
#include "speech/StressMarks.h"
#include "speech/WordMap.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cstdlib>
#include <future>
#include <optional>

namespace vocalix::speech {

struct EspeakEngine::Job {
    uint64_t generation = 0;
    const std::atomic<uint64_t>* current = nullptr;
    std::string text; // Windows-1251
    SynthParams params;
    ChunkSink sink;
    WordTracker tracker{{}};
    int sampleRate = 22050;
    long long base = 0;        // samples delivered by earlier calls
    long long callSamples = 0; // samples of the running call
    size_t chunkOffset = 0;    // where the running call's text starts in `text`
    EngineText spoken;         // the running call's text as eSpeak reads it
    AudioChunk pending;
    bool firstSent = false;

    bool Cancelled() const { return current->load() != generation; }
    void Flush(bool last) {
        pending.last = last;
        if (!pending.samples.empty() || !pending.words.empty() || last)
            sink(generation, std::move(pending));
        pending = AudioChunk{};
        firstSent = true;
    }
};

namespace {

thread_local EspeakEngine* t_engine = nullptr;
thread_local void* t_job = nullptr;

// Sets an environment variable for a scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

std::string RussianName(const std::string& name, const std::string& variant) {
    std::string shown = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9"; // "Русский"
    if (name.find("Latvia") != std::string::npos)
        shown += " (" + base::Cp("Латвия") + ")";
    if (variant == "f3")
        shown += base::Cp(", женский голос");
    else if (variant == "f4")
        shown += base::Cp(", женский голос 2");
    else if (variant == "m3")
        shown += base::Cp(", мужской голос 2");
    return shown + " (eSpeak NG)";
}

// The current voice's phonemes of a word, for restressing it (worker thread only).
std::string WordPhonemesOfVoice(const std::string& utf8Word) {
    std::string phonemes;
    const void* text = utf8Word.c_str();
    // One call per clause; a word is one, but a stray punctuation mark may make two.
    for (int clause = 0; text && clause < 8; ++clause) {
        const char* part = espeak_TextToPhonemes(&text, espeakCHARS_UTF8, '_' << 8);
        if (part && *part) {
            if (!phonemes.empty())
                phonemes += ' ';
            phonemes += part;
        }
    }
    return phonemes;
}

} // namespace

std::string EspeakUtf8(std::string_view cp1251) {
    std::string bytes(cp1251);
    for (char& c : bytes)
        if (c == '\0' || static_cast<unsigned char>(c) == 0x98)
            c = ' ';
    return base::Cp1251ToUtf8(bytes);
}

std::vector<size_t> EspeakEngine::ChunkStarts(std::string_view text) {
    // The first chunk is one sentence, so that playing starts after a few milliseconds of
    // synthesis; later ones gather several sentences. Cuts lie only after a sentence end or at a
    // paragraph, so the intonation is the same as for the whole text.
    constexpr size_t kLater = 400, kHard = 1500;
    std::vector<size_t> starts{0};
    size_t chunkStart = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        const size_t length = i + 1 - chunkStart;
        const size_t wanted = starts.size() == 1 ? 1 : kLater;
        const char c = text[i], next = text[i + 1];
        const bool blankNext = static_cast<unsigned char>(next) <= ' ';
        bool cut = false;
        if (length >= wanted && blankNext &&
            (c == '.' || c == '!' || c == '?' || c == '\x85' /* … */ || c == ';'))
            cut = true;
        else if (length >= wanted && c == '\n' && (next == ' ' || next == '\r'))
            cut = true;
        else if (length >= kHard && blankNext)
            cut = true;
        if (cut) {
            chunkStart = i + 1;
            starts.push_back(chunkStart);
        }
    }
    return starts;
}

EspeakEngine::EspeakEngine() {
    m_thread = std::thread([this] { Run(); });
    RunOnWorker([this] {
        t_engine = this;
        // We only ever retrieve samples, but the library's output initialisation still opens a
        // test playback stream on the sound server, and blocks for half a minute when the
        // server cannot take one (a server without a sink, a broken session). Pointing the
        // client at no server for the moment of initialisation makes that probe fail at once;
        // playback itself never goes through the library.
        {
            ScopedEnv noServer("PULSE_SERVER", "unix:/nonexistent/vocalix-no-server");
            espeak_ng_InitializePath(nullptr);
            espeak_ng_ERROR_CONTEXT context = nullptr;
            if (espeak_ng_Initialize(&context) != ENS_OK) {
                espeak_ng_ClearErrorContext(&context);
                return;
            }
            if (espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 100, nullptr) != ENS_OK)
                return;
        }
        const int rate = espeak_ng_GetSampleRate();
        if (rate <= 0)
            return;
        espeak_SetSynthCallback([](short* wav, int count, espeak_EVENT* events) {
            return Callback(wav, count, events);
        });
        std::vector<VoiceInfo> russian, others;
        const espeak_VOICE** list = espeak_ListVoices(nullptr);
        for (int i = 0; list && list[i]; ++i) {
            const espeak_VOICE* v = list[i];
            const std::string language = v->languages ? v->languages + 1 : "";
            VoiceInfo info;
            info.id = v->name;
            if (language.rfind("ru", 0) == 0) {
                info.russian = true;
                info.name = RussianName(v->name, "");
                russian.push_back(info);
            } else {
                info.name = base::Utf8ToCp1251(std::string(v->name) + " (eSpeak NG)");
                others.push_back(info);
            }
        }
        // The plain Russian voice first: entry 0 is what a first start selects.
        std::stable_sort(russian.begin(), russian.end(),
                         [](const VoiceInfo& a, const VoiceInfo& b) {
                             return (a.id == "Russian") > (b.id == "Russian");
                         });
        if (!russian.empty()) {
            const std::string baseId = russian.front().id;
            std::vector<VoiceInfo> variants;
            for (const char* variant : {"f3", "f4", "m3"}) {
                VoiceInfo info = russian.front();
                info.id = baseId + "+" + variant;
                info.name = RussianName(baseId, variant);
                variants.push_back(info);
            }
            russian.insert(russian.begin() + 1, variants.begin(), variants.end());
        }
        std::stable_sort(others.begin(), others.end(),
                         [](const VoiceInfo& a, const VoiceInfo& b) { return a.name < b.name; });
        m_voices = russian;
        m_voices.insert(m_voices.end(), others.begin(), others.end());
        m_sampleRate = rate;
    });
}

EspeakEngine::~EspeakEngine() {
    Cancel();
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void EspeakEngine::Run() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || !m_tasks.empty(); });
            if (m_tasks.empty())
                break;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
            m_busy = true;
        }
        task();
        {
            std::lock_guard lock(m_mutex);
            m_busy = false;
        }
        m_done.notify_all();
    }
    if (m_sampleRate > 0)
        espeak_Terminate();
}

void EspeakEngine::RunOnWorker(std::function<void()> task) {
    std::promise<void> finished;
    auto future = finished.get_future();
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back([&] {
            task();
            finished.set_value();
        });
    }
    m_wake.notify_all();
    future.wait();
}

std::string EspeakEngine::WordPhonemes(const std::string& cp1251Word, const std::string& voiceId) {
    std::string phonemes;
    RunOnWorker([&] {
        if (m_sampleRate > 0 && espeak_SetVoiceByName(voiceId.c_str()) == EE_OK)
            phonemes = WordPhonemesOfVoice(base::Cp1251ToUtf8(cp1251Word));
    });
    return phonemes;
}

std::vector<VoiceInfo> EspeakEngine::Voices() {
    return m_voices;
}

uint64_t EspeakEngine::Synthesize(std::string cp1251, SynthParams params, ChunkSink sink) {
    const uint64_t generation = ++m_generation;
    auto job = std::make_shared<Job>();
    job->generation = generation;
    job->current = &m_generation;
    job->text = std::move(cp1251);
    job->params = std::move(params);
    job->sink = std::move(sink);
    job->sampleRate = SampleRate();
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back([this, job] {
            if (!job->Cancelled())
                Speak(*job);
        });
    }
    m_wake.notify_all();
    return generation;
}

void EspeakEngine::Cancel() {
    ++m_generation;
}

void EspeakEngine::WaitIdle() {
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_tasks.empty() && !m_busy; });
}

void EspeakEngine::Speak(Job& job) {
    if (m_sampleRate <= 0) {
        job.pending.error = "eSpeak NG is not initialised";
        job.Flush(true);
        return;
    }
    const std::string voice = job.params.voiceId.empty() ? "Russian" : job.params.voiceId;
    if (espeak_SetVoiceByName(voice.c_str()) != EE_OK) {
        job.pending.error = "voice not found: " + voice;
        job.Flush(true);
        return;
    }
    espeak_SetParameter(espeakRATE, std::clamp(job.params.rateWpm, MinRate(), MaxRate()), 0);
    espeak_SetParameter(espeakPITCH, std::clamp(job.params.pitch, MinPitch(), MaxPitch()), 0);
    job.tracker = WordTracker(SpokenWords(job.text));
    std::vector<size_t> starts = job.params.markup ? std::vector<size_t>{0} : ChunkStarts(job.text);
    starts.push_back(job.text.size());
    t_job = &job;
    // Phoneme input carries the words restressed by their stress marks (StressMarks.h).
    unsigned flags = espeakCHARS_UTF8 | espeakENDPAUSE | espeakPHONEMES;
    if (job.params.markup)
        flags |= espeakSSML;
    for (size_t c = 0; c + 1 < starts.size() && !job.Cancelled(); ++c) {
        job.chunkOffset = starts[c];
        job.callSamples = 0;
        job.spoken = ApplyStressMarks(
            std::string_view(job.text).substr(starts[c], starts[c + 1] - starts[c]),
            WordPhonemesOfVoice);
        const std::string& utf8 = job.spoken.utf8;
        const espeak_ERROR rc = espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0,
                                             flags, nullptr, nullptr);
        if (job.Cancelled())
            break;
        if (rc != EE_OK) {
            job.pending.error = "espeak_Synth failed";
            job.Flush(true);
            t_job = nullptr;
            return;
        }
        job.base += job.callSamples;
        job.Flush(false);
    }
    t_job = nullptr;
    if (!job.Cancelled())
        job.Flush(true);
}

int EspeakEngine::Callback(short* wav, int count, void* rawEvents) {
    Job* job = static_cast<Job*>(t_job);
    if (!job || job->Cancelled())
        return 1;
    for (auto* e = static_cast<espeak_EVENT*>(rawEvents);
         e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        if (e->type != espeakEVENT_WORD)
            continue;
        const int offset =
            job->spoken.SourceOffset(e->text_position - 1) + static_cast<int>(job->chunkOffset);
        const int index = job->tracker.Map(offset);
        if (index < 0)
            continue;
        const WordSpan& w = job->tracker.Word(index);
        const long long sample =
            job->base + static_cast<long long>(e->audio_position) * job->sampleRate / 1000;
        job->pending.words.push_back({sample, w.start, w.length});
    }
    if (wav && count > 0) {
        job->pending.samples.insert(job->pending.samples.end(), wav, wav + count);
        job->callSamples += count;
    }
    // The first audio goes out at once; then in quarter-second batches.
    if (!job->firstSent ? !job->pending.samples.empty()
                        : job->pending.samples.size() >= static_cast<size_t>(job->sampleRate / 4))
        job->Flush(false);
    return 0;
}

bool SpeechEngine::SynthesizeAll(const std::string& cp1251, const SynthParams& params,
                                 std::vector<int16_t>& samples, std::vector<WordMark>* words,
                                 std::string* error, const std::function<void()>& pump) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable cv;
        bool done = false;
        std::string error;
        std::vector<int16_t> samples;
        std::vector<WordMark> words;
    };
    auto shared = std::make_shared<Shared>();
    const uint64_t generation = Synthesize(cp1251, params, [shared](uint64_t, AudioChunk&& chunk) {
        std::lock_guard lock(shared->mutex);
        shared->samples.insert(shared->samples.end(), chunk.samples.begin(), chunk.samples.end());
        shared->words.insert(shared->words.end(), chunk.words.begin(), chunk.words.end());
        if (!chunk.error.empty())
            shared->error = chunk.error;
        if (chunk.last)
            shared->done = true;
        shared->cv.notify_all();
    });
    std::unique_lock lock(shared->mutex);
    while (!shared->done) {
        shared->cv.wait_for(lock, std::chrono::milliseconds(pump ? 10 : 50));
        if (pump && !shared->done) {
            lock.unlock();
            pump();
            lock.lock();
        }
        if (!shared->done && Generation() != generation) {
            lock.unlock();
            WaitIdle();
            lock.lock();
            if (!shared->done) {
                if (error)
                    *error = "cancelled";
                return false;
            }
        }
    }
    if (!shared->error.empty()) {
        if (error)
            *error = shared->error;
        return false;
    }
    samples = std::move(shared->samples);
    if (words)
        *words = std::move(shared->words);
    return true;
}

std::shared_ptr<SpeechEngine> DefaultEngine() {
    static std::shared_ptr<SpeechEngine> engine = std::make_shared<EspeakEngine>();
    return engine;
}

} // namespace vocalix::speech
