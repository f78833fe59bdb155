#include "audio/Recorder.h"

#include "base/Cp1251.h"
#include "speech/Engines.h"
#include "speech/Fragments.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace vocalix::audio {
namespace fs = std::filesystem;

speech::SynthParams CurrentVoiceParams(const speech::Engines& engines, bool isXml) {
    speech::SynthParams p;
    const auto backend = engines.Backend();
    p.markup = isXml;
    p.pitch = backend->NormalPitch();
    p.rateWpm = backend->NormalRate();
    if (engines.UseSAPI5) {
        if (engines.Voice) {
            if (const auto voice = engines.Voice->Voice())
                p.voiceId = voice->Voice().id;
            p.rateWpm = speech::SpVoice::RateToWpm(engines.Voice->Rate(), *backend);
        }
        return p;
    }
    p.voiceId = engines.ModeInfo.gModeID;
    if (engines.Attributes) {
        uint32_t speed = 0;
        uint16_t pitch = 0;
        if (engines.Attributes->SpeedGet(&speed) == speech::S_OK)
            p.rateWpm = static_cast<int>(speed);
        if (engines.Attributes->PitchGet(&pitch) == speech::S_OK)
            p.pitch = pitch;
    }
    return p;
}

fs::path WavPathFor(const fs::path& textFile, const fs::path& programDir) {
    if (textFile.empty())
        return programDir / "_.wav";
    fs::path wav = textFile;
    wav.replace_extension(".wav");
    return wav;
}

int RealTimeFactorOfIndex(int index) {
    if (index < 0 || index >= 7)
        return 65535;
    return 256 << index;
}

RecordResult RecordToWave(speech::SpeechEngine& engine, const std::string& text,
                          const fs::path& wav, const RecordSettings& settings,
                          const RecordHooks& hooks,
                          const std::function<void(const char*, size_t)>& tee) {
    RecordResult result;
    std::vector<std::string> fragments, offsets;
    speech::SplitToFragments(text, settings.bytesInFrag, fragments, offsets);
    if (fragments.empty())
        return result;
    if (!engine.Available()) {
        result.error = base::Cp("Голосовой движок не найден или не поддерживается");
        return result;
    }
    WavWriter writer;
    std::string why;
    if (!writer.Open(wav, AudioFormatOfIndex(settings.formatIndex), engine.SampleRate(), &why)) {
        result.error = base::Cp("Не удалось создать аудиофайл ") +
                       base::Utf8ToCp1251(wav.string()) + "\r\n" + base::Utf8ToCp1251(why);
        return result;
    }
    writer.tee = tee;
    struct Shared {
        std::mutex mutex;
        std::condition_variable cv;
        std::deque<speech::AudioChunk> chunks;
    };
    const auto started = std::chrono::steady_clock::now();
    const double slowdown = settings.realTimeFactor >= 65535 || settings.realTimeFactor <= 0
                                ? 0.0
                                : 256.0 / settings.realTimeFactor;
    bool writeFailed = false;
    for (size_t i = 0; i < fragments.size(); ++i) {
        if (hooks.fragmentStarting)
            hooks.fragmentStarting(static_cast<int>(i),
                                   std::stoll(offsets[i]) +
                                       static_cast<long long>(fragments[i].size()));
        std::string spoken = fragments[i];
        if (hooks.prepare && !hooks.prepare(spoken))
            break;
        auto shared = std::make_shared<Shared>();
        const uint64_t generation = engine.Synthesize(
            spoken, settings.params, [shared](uint64_t, speech::AudioChunk&& chunk) {
                std::lock_guard lock(shared->mutex);
                shared->chunks.push_back(std::move(chunk));
                shared->cv.notify_all();
            });
        // The chunks are written as they come, so the file grows while the engine works on.
        bool done = false, engineError = false, cancelled = false;
        while (!done) {
            std::deque<speech::AudioChunk> ready;
            {
                std::unique_lock lock(shared->mutex);
                shared->cv.wait_for(lock, std::chrono::milliseconds(hooks.pump ? 20 : 200),
                                    [&] { return !shared->chunks.empty(); });
                ready.swap(shared->chunks);
            }
            for (speech::AudioChunk& chunk : ready) {
                if (!chunk.error.empty())
                    engineError = true;
                if (!writeFailed && !chunk.samples.empty() &&
                    !writer.Write(chunk.samples.data(), chunk.samples.size(), &why))
                    writeFailed = true;
                if (chunk.last)
                    done = true;
            }
            if (!done && engine.Generation() != generation) {
                // Cancelled from elsewhere: once the engine is idle, whatever it sent is queued.
                if (cancelled && ready.empty()) {
                    done = engineError = true;
                } else if (!cancelled) {
                    engine.WaitIdle();
                    cancelled = true;
                }
            }
            if (writeFailed) {
                engine.Cancel();
                engine.WaitIdle();
                break;
            }
            if (hooks.pump)
                hooks.pump();
        }
        if (writeFailed)
            break;
        ++result.fragments;
        if (engineError) {
            result.error = base::Cp("Ошибка голосового движка");
            break;
        }
        // A slower recording speed stretches the work to the chosen share of real time.
        while (slowdown > 0) {
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            if (elapsed >= writer.Seconds() * slowdown ||
                (hooks.stopRequested && hooks.stopRequested()))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (hooks.pump)
                hooks.pump();
        }
        if (hooks.pump)
            hooks.pump();
        if (hooks.stopRequested && hooks.stopRequested()) {
            result.stopped = i + 1 < fragments.size();
            break;
        }
    }
    if (writeFailed) {
        writer.Cancel();
        result.error = base::Cp("Не удалось записать аудиофайл ") +
                       base::Utf8ToCp1251(wav.string()) + "\r\n" + base::Utf8ToCp1251(why);
        return result;
    }
    result.seconds = writer.Seconds();
    if (!writer.Commit(&why)) {
        result.error = base::Cp("Не удалось записать аудиофайл ") +
                       base::Utf8ToCp1251(wav.string()) + "\r\n" + base::Utf8ToCp1251(why);
        return result;
    }
    result.seconds = writer.Seconds();
    result.written = true;
    return result;
}

RecordOutcome RecordAndConvert(speech::SpeechEngine& engine, const std::string& text,
                               const fs::path& wav, const RecordSettings& settings, int acNumber,
                               const std::string& allParam, const fs::path& programDir,
                               const RecordHooks& hooks,
                               const std::function<void(bool)>& converting) {
    RecordOutcome outcome;
    const std::string ext = ConverterExtension(acNumber);
    fs::path target = wav;
    target.replace_extension(ext);
    StreamingEncoder encoder;
    std::vector<std::string> fragments, offsets;
    bool streaming = false;
    if (!ext.empty()) {
        speech::SplitToFragments(text, settings.bytesInFrag, fragments, offsets);
        streaming = !fragments.empty() &&
                    encoder.Start(acNumber, allParam, target, programDir,
                                  StreamingWavHeader(AudioFormatOfIndex(settings.formatIndex)));
    }
    std::function<void(const char*, size_t)> tee;
    if (streaming)
        tee = [&](const char* bytes, size_t size) { encoder.Write(bytes, size, hooks.pump); };
    outcome.record = RecordToWave(engine, text, wav, settings, hooks, tee);
    if (!outcome.record.written) {
        encoder.Abort();
        return outcome;
    }
    outcome.audioFile = wav;
    if (ext.empty())
        return outcome;
    if (converting)
        converting(true);
    outcome.converterRan = true;
    std::error_code ec;
    if (streaming && encoder.Finish(hooks.pump)) {
        fs::remove(wav, ec);
        outcome.convert.status = ConvertResult::Status::Converted;
        outcome.convert.commandLine =
            ConverterCommandLine(acNumber, allParam, wav.string(), target.string());
    } else {
        outcome.convert = ConvertWav(acNumber, allParam, wav, target, programDir, hooks.pump);
    }
    if (converting)
        converting(false);
    if (outcome.convert.status == ConvertResult::Status::Converted)
        outcome.audioFile = target;
    return outcome;
}

} // namespace vocalix::audio
