#include "cli/Cli.h"

// Before any Qt header: it has a member named like a Qt keyword macro.
#include "textprep/PronunciationFilter.h"

#include "cli/CliVoice.h"

#include "base/Cp1251.h"
#include "base/QtText.h"
#include "base/Settings.h"
#include "speech/Reader.h"
#include "textprep/CorrectionRules.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <ostream>

namespace vocalix::cli {
namespace {

struct CliHost : speech::ReaderHost {
    CliContext* ctx = nullptr;
    std::string error;
    void SetSelectionLength(long long, bool) override {}
    void SetStatusPanel2(const std::string&) override {}
    void SetTitleActivity(const std::string&) override {}
    void ShowMessage(const std::string& m, bool) override {
        error = base::Cp1251ToUtf8(m);
        for (char& c : error)
            if (c == '\r' || c == '\n')
                c = ' ';
    }
    void UnForbidUserFeatures() override {}
    void FragmentStarting(int index, const std::string& spoken) override {
        *ctx->out << "[" << index + 1 << "] " << base::Cp1251ToUtf8(spoken);
        ctx->out->flush();
    }
};

} // namespace

// Reads a file aloud through the same fragment loop as the window, printing each fragment
// (after the correction rules and the pronunciation filter) as it starts.
int CmdSpeak(CliContext& ctx) {
    std::string file, dic;
    bool dicGiven = false;
    bool ended = false;
    for (size_t i = 0; i < ctx.args.size(); ++i) {
        if (IsEndOfOptions(ctx.args[i], ended))
            continue;
        if (!ended && ctx.args[i] == "--dic") {
            if (i + 1 >= ctx.args.size())
                throw CliError{"после --dic нужен список словарей"};
            dic = base::Utf8ToCp1251(ctx.args[++i]);
            dicGiven = true;
        } else if (file.empty()) {
            file = ctx.args[i];
        } else {
            throw CliError{"лишний аргумент: " + ctx.args[i]};
        }
    }
    if (file.empty())
        throw CliError{"не указан файл (speak [--dic SELECTION] FILE)"};
    const std::string text = base::ToCrLf(ReadInputText(ctx, file));

    const auto app = EnsureCoreApplication();

    base::Options options = base::ReadAllOptions(ctx.settings);
    if (dicGiven)
        options.Dictionary = dic;
    WarnNamesOutsideDictionaryFolder(ctx, options.Dictionary);
    speech::Engines engines;
    CliToolbar toolbar;
    toolbar.engines = &engines;
    CliHost host;
    host.ctx = &ctx;
    speech::Reader reader(engines, options, host);
    textprep::RulesSettings rules{ctx.programDir, options.Dictionary, file};
    reader.RexFilter = [rules](std::string& s) { textprep::RexFilter(s, rules); };
    textprep::PronunciationFilter filter(ctx.programDir);
    reader.Filter = [&filter, &options, &file, &host](std::string& s, textprep::FilterMap* map) {
        // Nothing may leave through the event loop: a failure ends the reading instead.
        try {
            filter.Filter(s, false, options.IgnoreRules, options.Dictionary, file, {}, map);
        } catch (const textprep::MemoryExhausted&) {
            host.error = base::Cp1251ToUtf8(textprep::MemoryExhaustedMessage());
        } catch (const std::exception& e) {
            host.error = e.what();
        }
    };

    SelectVoiceOfSettings(options, engines, toolbar);

    if (!reader.Speak(text) || !reader.IsReading) {
        if (!host.error.empty())
            throw CliError{host.error};
        return kExitOk; // nothing to read
    }
    QEventLoop loop;
    QTimer timer;
    timer.setInterval(100);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        timer.stop();
        if (reader.TimerNextFragmentTimer() && host.error.empty())
            timer.start();
        else
            loop.quit();
    });
    timer.start();
    loop.exec();
    if (!host.error.empty())
        throw CliError{host.error};
    return kExitOk;
}

std::unique_ptr<QCoreApplication> EnsureCoreApplication() {
    static int argc = 1;
    static char name[] = "vocalix-cli";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance())
        return {};
    return std::make_unique<QCoreApplication>(argc, argv);
}

void SelectVoiceOfSettings(const base::Options& options, speech::Engines& engines,
                           CliToolbar& toolbar) {
    toolbar.engines = &engines;
    engines.GetSAPI(options.SAPI5);
    engines.VoicesListCreate(toolbar);
    if (!toolbar.messages.empty())
        throw CliError{base::Cp1251ToUtf8(toolbar.messages.front())};
    if (options.Number > 0 && options.Number < toolbar.VoiceCount()) {
        toolbar.SetVoiceIndex(options.Number);
        engines.ComboBox1Change(toolbar);
    }
    toolbar.SetSpeedPosition(options.Speed != 0 ? options.Speed : engines.StoredSpeed);
    if (!options.SAPI5 && options.Pitch != 0)
        toolbar.SetPitchPosition(options.Pitch);
}

} // namespace vocalix::cli
