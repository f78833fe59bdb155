#include "cli/Cli.h"

#include "base/Cp1251.h"
#include "base/Settings.h"
#include "speech/Fragments.h"
#include "textprep/CorrectionRules.h"

namespace vocalix::cli {

namespace tp = vocalix::textprep;

// rules-report [--dic SELECTION] [-o OUT] FILE: exactly the report that "Словарные замены"
// writes into page "0" for the whole text of FILE.
int CmdRulesReport(CliContext& ctx) {
    const base::Options options = base::ReadAllOptions(ctx.settings);
    tp::RulesSettings settings;
    settings.programDir = ctx.programDir;
    settings.selection = options.Dictionary;
    std::string outPath, file;
    bool ended = false;
    for (size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        if (IsEndOfOptions(a, ended))
            continue;
        if (!ended && (a == "--dic" || a == "-o")) {
            if (i + 1 >= ctx.args.size())
                throw CliError{"после " + a + " нужно значение"};
            const std::string& v = ctx.args[++i];
            if (a == "-o")
                outPath = OutputPathArgument(v);
            else
                settings.selection = base::Utf8ToCp1251(v);
        } else if (!ended && !a.empty() && a[0] == '-') {
            throw CliError{"неизвестный параметр: " + a};
        } else if (file.empty()) {
            file = a;
        } else {
            throw CliError{"лишний аргумент: " + a};
        }
    }
    if (file.empty())
        throw CliError{"не указан FILE"};
    WarnNamesOutsideDictionaryFolder(ctx, settings.selection);
    // The editor keeps CR LF line ends whatever the file had.
    std::string text = base::ToCrLf(ReadInputText(ctx, file));
    // The file being reported on is the active page's file in the window.
    settings.currentFileName = base::Utf8ToCp1251(file);
    const int limit = options.BytesInFrag;
    const auto split = [limit](std::string_view t) {
        std::vector<std::string> fragments, offsets;
        speech::SplitToFragments(t, limit, fragments, offsets);
        return fragments;
    };
    std::string report;
    try {
        report = tp::RulesReport(text, true, settings, split);
    } catch (const tp::MemoryExhausted&) {
        throw CliError{base::Cp1251ToUtf8(tp::MemoryExhaustedMessage())};
    } catch (const std::runtime_error& e) {
        throw CliError{std::string("не удалось прочитать словарь: ") + e.what()};
    }
    EmitText(ctx, outPath, report);
    return kExitOk;
}

} // namespace vocalix::cli
