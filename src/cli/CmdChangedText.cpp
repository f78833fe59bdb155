#include "cli/Cli.h"

#include "base/Cp1251.h"
#include "base/Settings.h"
#include "speech/Fragments.h"
#include "textprep/CorrectionRules.h"
#include "textprep/Dictionaries.h"
#include "textprep/PronunciationFilter.h"
#include "textprep/StringRoutines.h"

#include <ostream>
#include <system_error>

namespace vocalix::cli {
namespace {

namespace fs = std::filesystem;

struct ChangedTextArgs {
    std::string selection; // Windows-1251
    bool haveSelection = false;
    std::string outPath;
    std::string file;
};

ChangedTextArgs ParseArgs(const std::vector<std::string>& args) {
    ChangedTextArgs parsed;
    bool ended = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (IsEndOfOptions(a, ended))
            continue;
        if (!ended && (a == "--dic" || a == "-o")) {
            if (i + 1 >= args.size())
                throw CliError{"после " + a + " нужно значение"};
            const std::string& v = args[++i];
            if (a == "--dic") {
                parsed.selection = base::Utf8ToCp1251(v);
                parsed.haveSelection = true;
            } else {
                parsed.outPath = OutputPathArgument(v);
            }
        } else if (!ended && a.size() > 1 && a[0] == '-') {
            throw CliError{"неизвестный параметр changed-text: " + a};
        } else if (!parsed.file.empty()) {
            throw CliError{"changed-text обрабатывает один файл, лишний аргумент: " + a};
        } else {
            parsed.file = a;
        }
    }
    if (parsed.file.empty())
        throw CliError{"не указан файл (vocalix-cli changed-text [--dic СЛОВАРИ] [-o ВЫХОД] "
                       "ФАЙЛ)"};
    return parsed;
}

// A selection naming dictionaries that cannot be reached is worth an error here: unlike the
// window, nobody would see an empty panel.
void CheckDictionaries(const CliContext& ctx, const fs::path& programDir,
                       const std::string& selection) {
    std::vector<std::string> wanted;
    WarnNamesOutsideDictionaryFolder(ctx, selection);
    for (const std::string& name : textprep::SplitBy(selection, '+'))
        if (textprep::IsPlainDictionaryName(name) && textprep::IsDictionaryFile(name))
            wanted.push_back(name);
    if (wanted.empty())
        return;
    const fs::path folder = textprep::DictionaryFolder(programDir);
    std::error_code ec;
    fs::directory_iterator probe(folder, ec);
    if (ec)
        throw CliError{"папка словарей недоступна: " + folder.string() + " (" + ec.message() + ")"};
    for (const std::string& name : wanted) {
        const fs::path path = folder / base::Cp1251ToUtf8(name);
        if (!fs::is_regular_file(path, ec))
            *ctx.err << "vocalix-cli: словарь не найден и пропущен: " << path.string() << "\n";
    }
}

// The correction rules of the selection's .ini files run here, fragment by fragment as the
// reading cuts the text, before the pronunciation filter.
void ApplyCorrectionRules(std::string& text, const std::string& selection,
                          const fs::path& programDir, const base::Options& options,
                          const std::string& currentFileName) {
    textprep::RulesSettings settings{programDir, selection, currentFileName};
    const int limit = options.BytesInFrag;
    textprep::RexFilterFull(text, settings, [limit](std::string_view t) {
        std::vector<std::string> fragments, offsets;
        speech::SplitToFragments(t, limit, fragments, offsets);
        return fragments;
    });
}

} // namespace

int CmdChangedText(CliContext& ctx) {
    const ChangedTextArgs args = ParseArgs(ctx.args);
    const base::Options options = base::ReadAllOptions(ctx.settings);
    const std::string selection = args.haveSelection ? args.selection : options.Dictionary;
    CheckDictionaries(ctx, ctx.programDir, selection);

    // The editor keeps CR LF line ends whatever the file had.
    std::string text = base::ToCrLf(ReadInputText(ctx, args.file));
    const std::string currentFileName = base::Utf8ToCp1251(args.file);

    ApplyCorrectionRules(text, selection, ctx.programDir, options, currentFileName);
    textprep::PronunciationFilter filter(ctx.programDir);
    try {
        filter.Filter(text, true, options.IgnoreRules, selection, currentFileName);
    } catch (const textprep::MemoryExhausted&) {
        throw CliError{base::Cp1251ToUtf8(textprep::MemoryExhaustedMessage())};
    } catch (const std::runtime_error& e) {
        throw CliError{std::string("не удалось прочитать словарь: ") + e.what()};
    }
    EmitText(ctx, args.outPath, text);
    return kExitOk;
}

} // namespace vocalix::cli
