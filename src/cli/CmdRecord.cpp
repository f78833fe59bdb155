#include "cli/Cli.h"

// Before any Qt header: it has a member named like a Qt keyword macro.
#include "textprep/PronunciationFilter.h"

#include "audio/AudioTags.h"
#include "audio/Recorder.h"
#include "audio/Series.h"
#include "audio/Workers.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/Settings.h"
#include "cli/CliVoice.h"
#include "documents/DocumentFiles.h"
#include "speech/Reader.h"
#include "textprep/CorrectionRules.h"

#include <QEventLoop>
#include <QTimer>

#include <filesystem>
#include <ostream>
#include <unistd.h>

namespace vocalix::cli {
namespace fs = std::filesystem;

namespace {

// Progress on stderr, only when a person watches it.
struct Progress {
    std::ostream* err = nullptr;
    bool shown = false;
    bool terminal = ::isatty(2) != 0;
    void Show(const std::string& utf8) {
        if (!terminal)
            return;
        *err << "\r\x1b[K" << utf8 << std::flush;
        shown = true;
    }
    void Done() {
        if (shown)
            *err << "\r\x1b[K" << std::flush;
        shown = false;
    }
};

std::string Utf8(const std::string& cp1251) {
    std::string s = base::Cp1251ToUtf8(cp1251);
    for (char& c : s)
        if (c == '\r' || c == '\n')
            c = ' ';
    return s;
}

// The folder of --to, created when missing; empty without --to.
fs::path TargetFolder(const std::string& to) {
    if (to.empty())
        return {};
    std::error_code ec;
    fs::create_directories(to, ec);
    if (!fs::is_directory(to, ec))
        throw CliError{"не удалось создать папку " + to};
    return fs::absolute(to, ec);
}

// Where a file's recording (or its series) goes: beside it or into DIR, under its own name.
fs::path BaseFor(const std::string& file, const fs::path& folder) {
    std::error_code ec;
    const fs::path source = fs::absolute(file, ec);
    return folder.empty() ? source : folder / source.filename();
}

// Standard input has no name to give the recording.
audio::AudioTags TagsOf(const std::string& file, int track) {
    return audio::TagsForText(file == "-" ? fs::path() : fs::path(file), track);
}

base::Options OptionsOf(const CliContext& ctx) {
    return base::ReadAllOptions(ctx.settings);
}

audio::SeriesSettings SeriesOf(const base::Options& o) {
    return {o.BytesInBlock, o.ChapHeadSencitive, o.Header};
}

// The older generation records as the window does: the reading loop speaks every fragment into
// the engine's file destination at the chosen multiple of real time, and the engine sink ends it.
struct RecordingHost : speech::ReaderHost {
    const audio::RecordHooks* hooks = nullptr;
    speech::Engines* engines = nullptr;
    const speech::Reader* reader = nullptr;
    std::string error; // UTF-8
    bool finished = false;
    bool flushed = false;
    void SetSelectionLength(long long, bool) override {}
    void SetStatusPanel2(const std::string&) override {}
    void SetTitleActivity(const std::string&) override {}
    void ShowMessage(const std::string& m, bool) override { error = Utf8(m); }
    void UnForbidUserFeatures() override {}
    void FragmentStarting(int index, const std::string&) override {
        const auto i = static_cast<size_t>(index);
        if (hooks && hooks->fragmentStarting && i < reader->Fragments.size())
            hooks->fragmentStarting(index, std::stoll(reader->FragmentOffsets[i]) +
                                               static_cast<long long>(reader->Fragments[i].size()));
    }
    void FinishSapi4Recording() override {
        flushed = engines->AudioFileDest && engines->AudioFileDest->Flush() == speech::S_OK;
        finished = true;
    }
};

// The reader lives as long as the engine: the engine's sinks are made for it when the engine is
// built.
audio::RecordOutcome RecordThroughReadingLoop(speech::Reader& reader, RecordingHost& host,
                                              speech::Engines& engines,
                                              const base::Options& options, const std::string& text,
                                              const fs::path& wav, const fs::path& programDir,
                                              const audio::RecordHooks& hooks,
                                              const std::function<void(bool)>& converting,
                                              const audio::AudioTags& tags) {
    host.hooks = &hooks;
    host.engines = &engines;
    host.reader = &reader;
    host.error.clear();
    host.finished = host.flushed = false;
    bool filterFailed = false;
    reader.Filter = nullptr;
    if (hooks.prepare)
        reader.Filter = [&](std::string& s, textprep::FilterMap*) {
            if (!filterFailed && !hooks.prepare(s))
                filterFailed = true;
        };
    reader.IsRecording = true;
    reader.AudioFileName = wav.string();
    audio::RecordResult record;
    if (!engines.AudioFileDest ||
        engines.AudioFileDest->RealTimeSet(
            static_cast<uint16_t>(audio::RealTimeFactorOfIndex(options.XNumber))) != speech::S_OK) {
        record.error = base::Cp("Голосовой движок не найден или не поддерживается");
        return audio::ConvertRecording(record, wav, nullptr, 0, {}, programDir, {}, {});
    }
    if (!reader.Speak(text) || !reader.IsReading) {
        record.error = base::Utf8ToCp1251(host.error); // nothing to record, or no engine
        return audio::ConvertRecording(record, wav, nullptr, 0, {}, programDir, {}, {});
    }
    QEventLoop loop;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (filterFailed && reader.IsReading)
            reader.Stop();
        if (!host.finished)
            reader.TimerNextFragmentTimer();
        if (host.finished)
            loop.quit();
    });
    timer.start();
    loop.exec();
    reader.Filter = nullptr;
    record.written = host.flushed;
    if (record.written) {
        record.seconds = engines.AudioFileDest->Seconds();
        record.spoken = engines.AudioFileDest->TakeSpoken();
    }
    record.fragments = reader.CurrentFragment + 1;
    if (!host.error.empty())
        record.error = base::Utf8ToCp1251(host.error);
    else if (!host.flushed)
        record.error =
            base::Cp("Не удалось записать аудиофайл ") + base::Utf8ToCp1251(wav.string());
    return audio::ConvertRecording(record, wav, nullptr, options.ACNumber, options.AllParam,
                                   programDir, {}, converting, options.Subtitles, tags);
}

} // namespace

// record [--dic SELECTION] [--to DIR] FILE...: each file recorded as the window's recording
// command does (voice, format, converter and recording in parts from the settings).
int CmdRecord(CliContext& ctx) {
    std::string to, dic;
    bool dicGiven = false;
    std::vector<std::string> files;
    bool ended = false;
    for (size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        if (IsEndOfOptions(a, ended))
            continue;
        if (ended) {
            files.push_back(a);
        } else if (a == "--to" || a == "--dic") {
            if (i + 1 >= ctx.args.size())
                throw CliError{a == "--to" ? "после --to нужна папка"
                                           : "после --dic нужен список словарей"};
            if (a == "--to") {
                to = ctx.args[++i];
            } else {
                dic = base::Utf8ToCp1251(ctx.args[++i]);
                dicGiven = true;
            }
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            throw CliError{"неизвестный параметр: " + a};
        } else {
            files.push_back(a);
        }
    }
    if (files.empty())
        throw CliError{"не указаны файлы: record [--dic SELECTION] [--to DIR] FILE..."};
    const fs::path folder = TargetFolder(to);

    const auto app = EnsureCoreApplication();
    base::Options options = OptionsOf(ctx);
    if (dicGiven)
        options.Dictionary = dic;
    speech::Engines engines;
    CliToolbar toolbar;
    toolbar.recording = !options.SAPI5;
    RecordingHost host;
    speech::Reader reader(engines, options, host);
    SelectVoiceOfSettings(options, engines, toolbar);
    audio::RecordSettings settings = audio::RecordSettingsOf(options);
    textprep::PronunciationFilter filter(ctx.programDir);
    Progress progress{ctx.err};

    bool failed = false;
    auto fail = [&](const std::string& file, const std::string& utf8) {
        progress.Done();
        *ctx.err << "vocalix-cli: " << file << ": " << utf8 << "\n";
        failed = true;
    };
    // One text to one audio file; false when it failed (the message is out).
    auto record = [&](const std::string& shownName, const std::string& text,
                      const fs::path& textFile, const std::string& dictionaryFile,
                      const audio::AudioTags& tags) {
        std::string filterError;
        audio::RecordHooks hooks;
        if (!options.Dictionary.empty()) {
            const textprep::RulesSettings rules{ctx.programDir, options.Dictionary, dictionaryFile};
            hooks.prepare = [&, rules](std::string& s) {
                textprep::RexFilter(s, rules);
                try {
                    filter.Filter(s, false, options.IgnoreRules, options.Dictionary,
                                  dictionaryFile);
                } catch (const textprep::MemoryExhausted&) {
                    filterError = Utf8(textprep::MemoryExhaustedMessage());
                    return false;
                }
                return true;
            };
        }
        const std::string name = textFile.filename().string();
        hooks.fragmentStarting = [&](int index, long long end) {
            progress.Show(name + ": " + std::to_string(index + 1) + " (" +
                          std::to_string(end * 100 / std::max<size_t>(text.size(), 1)) + "%)");
        };
        const fs::path wav = audio::WavPathFor(textFile, ctx.programDir);
        const auto converting = [&](bool on) {
            if (on)
                progress.Show(name + ": " + Utf8(base::Cp("РАБОТАЕТ АУДИО-КОНВЕРТЕР. ЖДИТЕ...")));
        };
        settings.tags = tags;
        const audio::RecordOutcome r =
            options.SAPI5
                ? audio::RecordAndConvert(*engines.Voice, text, wav, settings, options.ACNumber,
                                          options.AllParam, ctx.programDir, hooks, converting)
                : RecordThroughReadingLoop(reader, host, engines, options, text, wav,
                                           ctx.programDir, hooks, converting, tags);
        progress.Done();
        if (!r.audioFile.empty())
            *ctx.out << r.audioFile.string() << "\n" << std::flush;
        if (!filterError.empty())
            fail(shownName, filterError);
        else if (!r.record.error.empty())
            fail(shownName, Utf8(r.record.error));
        else if (r.converterRan && !r.convert.message.empty())
            fail(shownName, Utf8(r.convert.message));
        else if (!r.subtitlesError.empty())
            fail(shownName, "субтитры не записаны: " + Utf8(r.subtitlesError));
        else
            return !r.audioFile.empty() || r.record.fragments == 0;
        return false;
    };

    for (const std::string& file : files) {
        std::string text;
        try {
            text = base::ToCrLf(ReadInputText(ctx, file));
        } catch (const CliError& e) {
            fail(file, e.message);
            continue;
        }
        const fs::path basePath = BaseFor(file, folder);
        if (options.AudioSplit) {
            const audio::SeriesResult series =
                audio::MakeSeries(text, basePath, ".audio", SeriesOf(options));
            if (!series.error.empty()) {
                fail(file, Utf8(series.error));
                continue;
            }
            if (series.parts.size() > 1) {
                int track = 0;
                for (const fs::path& part : series.parts) {
                    ++track;
                    std::string partText;
                    if (!base::ReadFileBytes(part, partText)) {
                        fail(file, "не удалось прочитать " + part.string());
                        continue;
                    }
                    record(file, partText, part, part.string(), TagsOf(file, track));
                    std::error_code ec;
                    fs::remove(part, ec);
                }
                continue;
            }
            // One part: the text is recorded whole, as the window does.
            for (const fs::path& part : series.parts) {
                std::error_code ec;
                fs::remove(part, ec);
            }
        }
        record(file, text, basePath, file, TagsOf(file, 0));
    }
    return failed ? kExitError : kExitOk;
}

// worker: records a share of a text for a recording command of this program or of the window
// (the request comes on standard input, the progress and the result go to standard output).
int CmdWorker(CliContext& ctx) {
    if (!ctx.args.empty())
        throw CliError{"worker не принимает параметров"};
    const auto app = EnsureCoreApplication();
    return audio::RunRecordingWorker(*ctx.in, *ctx.out, ctx.programDir);
}

// series FILE: the part texts as the window's series command makes them.
int CmdSeries(CliContext& ctx) {
    // "series -- -книга.txt" for a name that begins with "-".
    const bool ended = !ctx.args.empty() && ctx.args[0] == "--";
    const size_t at = ended ? 1 : 0;
    if (ctx.args.size() != at + 1 || (!ended && !ctx.args[0].empty() && ctx.args[0][0] == '-'))
        throw CliError{"укажите один файл: series FILE"};
    const std::string& file = ctx.args[at];
    const std::string text = base::ToCrLf(ReadInputText(ctx, file));
    const base::Options options = OptionsOf(ctx);
    Progress progress{ctx.err};
    std::error_code ec;
    const fs::path basePath = fs::absolute(file, ec);
    const audio::SeriesResult series =
        audio::MakeSeries(text, basePath, "", SeriesOf(options), [&](int line, int lines) {
            if (line % 500 == 0)
                progress.Show(basePath.filename().string() + ": " +
                              std::to_string(line * 100 / std::max(lines, 1)) + "%");
        });
    progress.Done();
    if (!series.error.empty())
        throw CliError{Utf8(series.error)};
    for (const fs::path& part : series.parts)
        *ctx.out << part.string() << "\n";
    ctx.out->flush();
    if (series.parts.size() < 2) {
        const std::string name = basePath.filename().string();
        throw CliError{"Не удалось разбить на части текст \"" + name +
                       "\". Проверьте настройки в меню \"Сервис - Сериалы\" и повторите попытку"};
    }
    return kExitOk;
}

} // namespace vocalix::cli
