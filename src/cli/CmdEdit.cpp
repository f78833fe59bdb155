#include "cli/Cli.h"

#include "base/Settings.h"
#include "textprep/StringRoutines.h"
#include "tools/CleanUp.h"
#include "tools/ColumnText.h"
#include "tools/LitFormat.h"
#include "tools/NumberWords.h"

#include <functional>
#include <string_view>

namespace vocalix::cli {
namespace {

namespace tools = vocalix::tools;

// The batch justification picks its spaces from a fixed seed, so a file formats the same way
// every time.
constexpr unsigned kJustifySeed = 1251;

struct EditArgs {
    std::string mode; // the word after the command, for commands that take one
    std::string outPath;
    std::string file;
};

// [MODE] [-o OUT] FILE, where MODE is wanted when `modes` is not empty.
EditArgs ParseEditArgs(const CliContext& ctx, const char* usage,
                       std::initializer_list<std::string_view> modes) {
    EditArgs parsed;
    const bool wantMode = modes.size() > 0;
    for (size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        if (a == "-o") {
            if (i + 1 >= ctx.args.size())
                throw CliError{"после -o нужно имя файла"};
            parsed.outPath = ctx.args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            throw CliError{"неизвестный параметр: " + a + " (" + usage + ")"};
        } else if (wantMode && parsed.mode.empty()) {
            parsed.mode = a;
        } else if (parsed.file.empty()) {
            parsed.file = a;
        } else {
            throw CliError{"лишний аргумент: " + a + " (" + usage + ")"};
        }
    }
    if (wantMode) {
        bool known = false;
        for (const std::string_view m : modes)
            known = known || parsed.mode == m;
        if (!known)
            throw CliError{(parsed.mode.empty() ? std::string("не указан режим")
                                                : "неизвестный режим: " + parsed.mode) +
                           " (" + usage + ")"};
    }
    if (parsed.file.empty())
        throw CliError{std::string("не указан FILE (") + usage + ")"};
    return parsed;
}

int Transform(CliContext& ctx, const char* usage, std::initializer_list<std::string_view> modes,
              const std::function<std::string(const std::string& mode, const std::string&)>& f) {
    const EditArgs args = ParseEditArgs(ctx, usage, modes);
    const std::string text = ReadInputText(ctx, args.file);
    EmitText(ctx, args.outPath, f(args.mode, text));
    return kExitOk;
}

} // namespace

int CmdFormat(CliContext& ctx) {
    return Transform(
        ctx, "format [-o OUT] FILE", {}, [&](const std::string&, const std::string& t) {
            const base::Options options = base::ReadAllOptions(ctx.settings);
            tools::LitTextSettings s;
            s.Parag = options.Parag;
            s.MaxLen = options.MaxLen;
            s.MaxHugeLen = options.MaxHugeLen;
            s.RightJustify = options.RightJustify;
            return tools::FormatLiteraryText(t, s, tools::SeededRandomIndex(kJustifySeed));
        });
}

int CmdClean(CliContext& ctx) {
    return Transform(ctx, "clean КОМАНДА [-o OUT] FILE",
                     {"dele-breaks", "tab-to-space", "nbsp-to-space", "quotes", "dashes",
                      "ellipsis", "paragraph-to-line", "dele-spaces", "dele-empty-lines", "upper",
                      "lower"},
                     [&](const std::string& mode, const std::string& t) -> std::string {
                         if (mode == "dele-breaks")
                             return tools::DeleBreaks(t);
                         if (mode == "tab-to-space")
                             return tools::TabToSpace(t);
                         if (mode == "nbsp-to-space")
                             return tools::NbspToSpace(t);
                         if (mode == "quotes")
                             return tools::QuotesSimple(t);
                         if (mode == "dashes")
                             return tools::TireToMinus(t);
                         if (mode == "ellipsis")
                             return tools::MtSimple(t);
                         if (mode == "paragraph-to-line")
                             return tools::ParagToLine(t);
                         if (mode == "dele-spaces")
                             return tools::DeleSpaces(t, base::ReadAllOptions(ctx.settings).Parag);
                         if (mode == "dele-empty-lines")
                             return tools::DeleEmptyLines(t);
                         if (mode == "upper")
                             return textprep::UpperCase(t);
                         return textprep::LowerCase(t);
                     });
}

int CmdNumbers(CliContext& ctx) {
    return Transform(ctx, "numbers [-o OUT] FILE", {},
                     [](const std::string&, const std::string& t) {
                         return tools::NumbersToWords(tools::DotsToDashes(t));
                     });
}

int CmdColumns(CliContext& ctx) {
    return Transform(ctx, "columns all|lower|case [-o OUT] FILE", {"all", "lower", "case"},
                     [](const std::string& mode, const std::string& t) {
                         if (mode == "all")
                             return tools::ColumnText(t);
                         return tools::AlphColumnText(t, mode == "lower" ? 0 : 1);
                     });
}

int CmdSortLines(CliContext& ctx) {
    return Transform(ctx, "sort-lines [-o OUT] FILE", {},
                     [](const std::string&, const std::string& t) { return tools::SortLines(t); });
}

int CmdMove(CliContext& ctx) {
    return Transform(ctx, "move right|left [-o OUT] FILE", {"right", "left"},
                     [](const std::string& mode, const std::string& t) {
                         return tools::TextHorizontalMove(t, 0, 0, mode == "right" ? 1 : -1).text;
                     });
}

} // namespace vocalix::cli
