#include "cli/Cli.h"

// Before any Qt header: it has a member named like a Qt keyword macro.
#include "textprep/PronunciationFilter.h"

#include "audio/Recorder.h"
#include "audio/Series.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/Settings.h"
#include "cli/CliVoice.h"
#include "documents/DocumentFiles.h"
#include "textprep/CorrectionRules.h"

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

base::Options OptionsOf(const CliContext& ctx) {
    return base::ReadAllOptions(ctx.settings);
}

audio::SeriesSettings SeriesOf(const base::Options& o) {
    return {o.BytesInBlock, o.ChapHeadSencitive, o.Header};
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
    SelectVoiceOfSettings(options, engines, toolbar);
    audio::RecordSettings settings;
    settings.bytesInFrag = options.BytesInFrag;
    settings.params = audio::CurrentVoiceParams(engines, options.IsXML);
    if (options.SAPI5)
        settings.formatIndex = options.XNumber;
    else
        settings.realTimeFactor = audio::RealTimeFactorOfIndex(options.XNumber);
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
                      const fs::path& textFile, const std::string& dictionaryFile) {
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
        const audio::RecordOutcome r = audio::RecordAndConvert(
            *engines.Backend(), text, audio::WavPathFor(textFile, ctx.programDir), settings,
            options.ACNumber, options.AllParam, ctx.programDir, hooks, [&](bool on) {
                if (on)
                    progress.Show(name + ": " +
                                  Utf8(base::Cp("РАБОТАЕТ АУДИО-КОНВЕРТЕР. "
                                                "ЖДИТЕ...")));
            });
        progress.Done();
        if (!r.audioFile.empty())
            *ctx.out << r.audioFile.string() << "\n" << std::flush;
        if (!filterError.empty())
            fail(shownName, filterError);
        else if (!r.record.error.empty())
            fail(shownName, Utf8(r.record.error));
        else if (r.converterRan && !r.convert.message.empty())
            fail(shownName, Utf8(r.convert.message));
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
                for (const fs::path& part : series.parts) {
                    std::string partText;
                    if (!base::ReadFileBytes(part, partText)) {
                        fail(file, "не удалось прочитать " + part.string());
                        continue;
                    }
                    record(file, partText, part, part.string());
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
        record(file, text, basePath, file);
    }
    return failed ? kExitError : kExitOk;
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
