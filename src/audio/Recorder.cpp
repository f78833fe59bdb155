#include "audio/Recorder.h"

#include "audio/Subtitles.h"
#include "audio/Workers.h"
#include "base/Cp1251.h"
#include "speech/Fragments.h"

namespace vocalix::audio {
namespace fs = std::filesystem;

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

RecordSettings RecordSettingsOf(const base::Options& options) {
    RecordSettings settings;
    settings.bytesInFrag = options.BytesInFrag;
    settings.isXml = options.IsXML;
    settings.formatIndex = options.XNumber;
    settings.subtitles = options.Subtitles;
    settings.workers = options.Workers;
    return settings;
}

namespace {

std::string CannotWrite(const fs::path& wav, const std::string& why) {
    return base::Cp("Не удалось записать аудиофайл ") + base::Utf8ToCp1251(wav.string()) + "\r\n" +
           base::Utf8ToCp1251(why);
}

// Gives the voice its own output back however the recording ends.
struct OutputRestorer {
    speech::SpVoice& voice;
    speech::SpFileStream* saved = voice.AudioOutputStream();
    ~OutputRestorer() { voice.SetAudioOutputStream(saved); }
};

void WriteSubtitlesOf(RecordOutcome& outcome, bool subtitles) {
    if (!subtitles)
        return;
    std::string why;
    if (!WriteSubtitles(outcome.audioFile, CuesOf(outcome.record.spoken, outcome.record.seconds),
                        &why))
        outcome.subtitlesError = base::Utf8ToCp1251(why);
}

} // namespace

RecordResult RecordFragments(speech::SpVoice& voice, const std::vector<std::string>& fragments,
                             const fs::path& wav, const RecordSettings& settings,
                             const RecordHooks& hooks,
                             const std::function<void(const char*, size_t)>& tee) {
    RecordResult result;
    if (fragments.empty())
        return result;
    const OutputRestorer restorer{voice};
    speech::SpFileStream stream;
    stream.tee = tee;
    long long position = 0;
    try {
        stream.Format.Type = settings.formatIndex + 4;
        stream.Open(wav.string(), speech::SSFMCreateForWrite, false);
        position = stream.Seek(0, speech::SSSPTRelativeToEnd);
    } catch (const speech::SpeechError& e) {
        result.error = base::Cp("Не удалось создать аудиофайл ") +
                       base::Utf8ToCp1251(wav.string()) + "\r\n" + base::Utf8ToCp1251(e.what());
        return result;
    }
    voice.AllowAudioOutputFormatChangesOnNextSet = false;
    const int flags =
        speech::SVSFPurgeBeforeSpeak | (settings.isXml ? speech::SVSFIsXML : speech::SVSFIsNotXML);
    for (size_t i = 0; i < fragments.size(); ++i) {
        if (hooks.fragmentStarting)
            hooks.fragmentStarting(static_cast<int>(i), -1);
        std::string spoken = fragments[i];
        if (hooks.prepare && !hooks.prepare(spoken))
            break;
        voice.SetAudioOutputStream(&stream);
        stream.Seek(position, speech::SSSPTRelativeToStart);
        try {
            voice.Speak(spoken, flags);
        } catch (const speech::SpeechStreamError& e) {
            result.error = CannotWrite(wav, e.what()); // the stream's destructor drops the file
            return result;
        } catch (const speech::SpeechError&) {
            // What was said before the engine failed is kept.
            result.error = base::Cp("Ошибка голосового движка");
            ++result.fragments;
            break;
        }
        position = stream.Seek(0, speech::SSSPTRelativeToCurrent);
        ++result.fragments;
        if (hooks.pump)
            hooks.pump();
        if (hooks.stopRequested && hooks.stopRequested()) {
            result.stopped = i + 1 < fragments.size();
            break;
        }
        if (hooks.pump)
            hooks.pump();
    }
    result.seconds = stream.Seconds();
    result.copyComplete = stream.TeeIntact();
    result.spoken = stream.TakeSpoken();
    try {
        stream.Close();
    } catch (const speech::SpeechError& e) {
        result.error = CannotWrite(wav, e.what());
        return result;
    }
    result.written = true;
    return result;
}

RecordResult RecordToWave(speech::SpVoice& voice, const std::string& text, const fs::path& wav,
                          const RecordSettings& settings, const RecordHooks& hooks,
                          const std::function<void(const char*, size_t)>& tee) {
    std::vector<std::string> fragments, offsets;
    speech::SplitToFragments(text, settings.bytesInFrag, fragments, offsets);
    RecordHooks own = hooks;
    if (hooks.fragmentStarting)
        own.fragmentStarting = [&](int index, long long) {
            const auto i = static_cast<size_t>(index);
            hooks.fragmentStarting(index, std::stoll(offsets[i]) +
                                              static_cast<long long>(fragments[i].size()));
        };
    return RecordFragments(voice, fragments, wav, settings, own, tee);
}

RecordOutcome ConvertRecording(RecordResult record, const fs::path& wav, EncodedCopy* encoder,
                               int acNumber, const std::string& allParam,
                               const fs::path& programDir, const std::function<void()>& pump,
                               const std::function<void(bool)>& converting, bool subtitles,
                               const AudioTags& tags) {
    RecordOutcome outcome;
    outcome.record = std::move(record);
    if (!outcome.record.written) {
        if (encoder)
            encoder->Abort();
        return outcome;
    }
    outcome.audioFile = wav;
    const std::string ext = ConverterExtension(acNumber);
    if (ext.empty()) {
        WriteSubtitlesOf(outcome, subtitles);
        return outcome;
    }
    fs::path target = wav;
    target.replace_extension(ext);
    if (converting)
        converting(true);
    outcome.converterRan = true;
    std::error_code ec;
    if (encoder && encoder->Finish(pump)) {
        fs::remove(wav, ec);
        outcome.convert.status = ConvertResult::Status::Converted;
        outcome.convert.commandLine =
            ConverterCommandLine(acNumber, allParam, wav.string(), target.string());
    } else {
        outcome.convert = ConvertWav(acNumber, allParam, wav, target, programDir, pump, tags);
    }
    if (converting)
        converting(false);
    if (outcome.convert.status == ConvertResult::Status::Converted)
        outcome.audioFile = target;
    WriteSubtitlesOf(outcome, subtitles);
    return outcome;
}

RecordOutcome RecordAndConvert(speech::SpVoice& voice, const std::string& text, const fs::path& wav,
                               const RecordSettings& settings, int acNumber,
                               const std::string& allParam, const fs::path& programDir,
                               const RecordHooks& hooks,
                               const std::function<void(bool)>& converting) {
    if (settings.workers != 1 && voice.Engine() == speech::DefaultEngine()) {
        std::vector<std::string> fragments, offsets;
        speech::SplitToFragments(text, settings.bytesInFrag, fragments, offsets);
        const fs::path program = WorkerProgram();
        const int workers = WorkerCount(settings.workers, fragments.size());
        if (workers > 1 && !program.empty())
            return RecordWithWorkers(voice, text, wav, settings, acNumber, allParam, programDir,
                                     hooks, converting, workers, program);
    }
    const std::string ext = ConverterExtension(acNumber);
    StreamingEncoder encoder;
    bool streaming = false;
    if (!ext.empty() && !speech::IsBlankText(text)) {
        fs::path target = wav;
        target.replace_extension(ext);
        streaming = encoder.Start(
            acNumber, allParam, target, programDir,
            StreamingWavHeader(speech::AudioFormatOfType(settings.formatIndex + 4)), settings.tags);
    }
    std::function<void(const char*, size_t)> tee;
    if (streaming)
        tee = [&](const char* bytes, size_t size) { encoder.Write(bytes, size, hooks.pump); };
    RecordResult record = RecordToWave(voice, text, wav, settings, hooks, tee);
    const bool encoded = streaming && record.copyComplete;
    if (!encoded)
        encoder.Abort();
    return ConvertRecording(std::move(record), wav, encoded ? &encoder : nullptr, acNumber,
                            allParam, programDir, hooks.pump, converting, settings.subtitles,
                            settings.tags);
}

} // namespace vocalix::audio
