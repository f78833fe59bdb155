#include "cli/Cli.h"

// Before any Qt header: it has a member named like a Qt keyword macro.
#include "textprep/PronunciationFilter.h"

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

// The voice settings without a window: the list is kept as plain names.
struct CliToolbar : speech::SpeechToolbar {
    speech::Engines* engines = nullptr;
    std::vector<std::string> voices;
    int index = -1;
    std::vector<std::string> messages;
    void ClearVoices() override { voices.clear(), index = -1; }
    void AddVoice(const std::string& name) override { voices.push_back(name); }
    int VoiceCount() const override { return static_cast<int>(voices.size()); }
    int VoiceIndex() const override { return index; }
    void SetVoiceIndex(int i) override { index = i; }
    std::string VoiceName(int i) const override { return voices.at(static_cast<size_t>(i)); }
    void FormHeadSAPI4() override {}
    void FormHeadSAPI5() override {}
    void SetSpeedRange(int, int) override {}
    void SetSpeedPosition(int p) override { engines->trSpeedChange(p); }
    void SetSpeedEnabled(bool) override {}
    void SetSpeedHint(const std::string&) override {}
    void SetPitchRange(int, int) override {}
    void SetPitchPosition(int p) override { engines->trPitchChange(p); }
    void SetPitchEnabled(bool) override {}
    void SetPitchHint(const std::string&) override {}
    void ShowInformation(const std::string& m) override { messages.push_back(m); }
    bool DictionariesActive() const override { return false; }
    void ClearDictionaries() override {}
    bool IsRecording() const override { return false; }
};

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

    static int argc = 1;
    static char name[] = "vocalix-cli";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance())
        app = std::make_unique<QCoreApplication>(argc, argv);

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
    reader.Filter = [&filter, &options, &file, &host](std::string& s) {
        // Nothing may leave through the event loop: a failure ends the reading instead.
        try {
            filter.Filter(s, false, options.IgnoreRules, options.Dictionary, file);
        } catch (const textprep::MemoryExhausted&) {
            host.error = base::Cp1251ToUtf8(textprep::MemoryExhaustedMessage());
        } catch (const std::exception& e) {
            host.error = e.what();
        }
    };

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

} // namespace vocalix::cli
