#include "cli/Cli.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "textprep/Spelling.h"

#include <filesystem>

namespace vocalix::cli {

namespace tp = vocalix::textprep;

// spell check|add|remove [-o OUT] FILE: the whole text of FILE against "~orfo~" in the program
// folder. check prints the report that the window writes into page "0"; add and remove change
// the table and print nothing.
int CmdSpell(CliContext& ctx) {
    std::string mode, outPath, file;
    bool ended = false;
    for (size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        if (IsEndOfOptions(a, ended))
            continue;
        if (!ended && a == "-o") {
            if (i + 1 >= ctx.args.size())
                throw CliError{"после -o нужно имя файла"};
            outPath = OutputPathArgument(ctx.args[++i]);
        } else if (!ended && !a.empty() && a[0] == '-') {
            throw CliError{"неизвестный параметр: " + a};
        } else if (mode.empty()) {
            mode = a;
        } else if (file.empty()) {
            file = a;
        } else {
            throw CliError{"лишний аргумент: " + a};
        }
    }
    if (mode != "check" && mode != "add" && mode != "remove")
        throw CliError{"spell ждёт check, add или remove, затем FILE"};
    if (file.empty())
        throw CliError{"не указан FILE"};
    const std::string text = ReadInputText(ctx, file);
    const std::filesystem::path table = ctx.programDir / std::string(tp::kSpellingFileName);

    if (mode == "check") {
        std::error_code ec;
        if (!std::filesystem::exists(table, ec))
            throw CliError{"орфотаблица не найдена: " + table.string()};
        tp::SpellingTable t;
        t.Load(table, 0);
        const std::string name =
            base::Utf8ToCp1251(std::filesystem::path(file).filename().string());
        EmitText(ctx, outPath, tp::SpellingReportText(name, tp::SpellCheckWords(t, text)));
        return kExitOk;
    }

    tp::SpellingTable t;
    t.Load(table, tp::kSpellingAddRoom);
    bool full = false;
    if (mode == "add")
        full = tp::SpellAddWords(t, text).tableFull;
    else
        tp::SpellRemoveWords(t, text);
    std::string error;
    if (!base::WriteFileAtomic(table, t.Text(), &error))
        throw CliError{"не удалось записать " + table.string() + ": " + error};
    if (full)
        throw CliError{"орфотаблица заполнена: добавлены не все слова, записано то, что вошло"};
    return kExitOk;
}

} // namespace vocalix::cli
