#include "cli/Cli.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "documents/DocumentFiles.h"
#include "documents/OpenDocument.h"

#include <functional>
#include <ostream>

namespace vocalix::cli {
namespace {

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(CliContext&);
};

const Command kCommands[] = {
    {"changed-text", "changed-text [--dic SELECTION] [-o OUT] FILE",
     "текст после правил и словарей произношения", CmdChangedText},
    {"rules-report", "rules-report [--dic SELECTION] [-o OUT] FILE",
     "отчёт о применённых правилах (словарные замены)", CmdRulesReport},
    {"spell", "spell check|add|remove [-o OUT] FILE", "проверка орфографии по таблице ~orfo~",
     CmdSpell},
    {"convert", "convert [--to DIR] FILE...", "документы в текст (.txt)", CmdConvert},
    {"voices", "voices", "список голосов обоих поколений", CmdVoices},
    {"speak", "speak [--dic SELECTION] FILE", "прочитать текст вслух", CmdSpeak},
    {"record", "record [--dic SELECTION] [--to DIR] FILE...",
     "записать тексты в аудиофайлы (WAV, MP3, OGG)", CmdRecord},
    {"series", "series FILE", "разбить текст на части сериала", CmdSeries},
};

void PrintHelp(std::ostream& out) {
    out << "Использование: vocalix-cli [--program-dir DIR] [--set Раздел/Ключ=Значение]... "
           "КОМАНДА ...\n\nКоманды:\n";
    for (const auto& c : kCommands)
        out << "  " << c.usage << "\n      " << c.summary << "\n";
    out << "\nБез -o результат выводится в UTF-8; с -o OUT записывается в Windows-1251 с "
           "концами строк CR LF.\nПри ошибке печатается одна строка и код выхода 2.\n";
}

} // namespace

int RunCli(const std::vector<std::string>& argv, const std::filesystem::path& executableDir,
           std::ostream& out, std::ostream& err) {
    CliContext ctx;
    ctx.programDir = executableDir;
    ctx.out = &out;
    ctx.err = &err;
    std::vector<std::pair<std::string, std::string>> overrides; // "Section/Key", value
    size_t i = 0;
    for (; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (a == "--help" || a == "-h") {
            PrintHelp(out);
            return kExitOk;
        }
        if (a == "--program-dir" || a == "--set") {
            if (i + 1 >= argv.size()) {
                err << "vocalix-cli: после " << a << " нужно значение\n";
                return kExitError;
            }
            const std::string& v = argv[++i];
            if (a == "--program-dir") {
                ctx.programDir = v;
            } else {
                const size_t slash = v.find('/');
                const size_t eq = v.find('=');
                if (slash == std::string::npos || eq == std::string::npos || eq < slash) {
                    err << "vocalix-cli: --set ждёт Раздел/Ключ=Значение, получено: " << v << "\n";
                    return kExitError;
                }
                overrides.emplace_back(v.substr(0, eq), v.substr(eq + 1));
            }
            continue;
        }
        if (!a.empty() && a[0] == '-') {
            err << "vocalix-cli: неизвестный параметр: " << a << "\n";
            return kExitError;
        }
        break;
    }
    if (i >= argv.size()) {
        err << "vocalix-cli: не указана команда (vocalix-cli --help — список команд)\n";
        return kExitError;
    }
    const std::string name = argv[i];
    const Command* command = nullptr;
    for (const auto& c : kCommands)
        if (name == c.name)
            command = &c;
    if (!command) {
        err << "vocalix-cli: неизвестная команда: " << name << "\n";
        return kExitError;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(ctx.programDir, ec)) {
        err << "vocalix-cli: папка программы не найдена: " << ctx.programDir.string() << "\n";
        return kExitError;
    }
    ctx.settings.Load(ctx.programDir / "$.ini");
    for (const auto& [path, value] : overrides) {
        const size_t slash = path.find('/');
        // Settings keys are Windows-1251; the command line is UTF-8.
        ctx.settings.WriteString(base::Utf8ToCp1251(path.substr(0, slash)),
                                 base::Utf8ToCp1251(path.substr(slash + 1)),
                                 base::Utf8ToCp1251(value));
    }
    ctx.args.assign(argv.begin() + static_cast<long>(i) + 1, argv.end());
    try {
        return command->run(ctx);
    } catch (const CliError& e) {
        err << "vocalix-cli: " << e.message << "\n";
        return kExitError;
    }
}

void EmitText(const CliContext& ctx, const std::string& outPath, const std::string& cp1251) {
    if (outPath.empty()) {
        *ctx.out << base::Cp1251ToUtf8(cp1251);
        ctx.out->flush();
        return;
    }
    std::string error;
    if (!base::WriteFileAtomic(outPath, cp1251, &error))
        throw CliError{"не удалось записать " + outPath + ": " + error};
}

std::string ReadInputText(const CliContext&, const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw CliError{"файл не найден: " + path};
    const std::string ext = documents::LowerExtension(path);
    if (ext == ".doc" || ext == ".docx")
        throw CliError{"документы Word сначала преобразуйте в текст: " + path};
    std::string text;
    bool repaired = false;
    if (!documents::ReadDocumentText(path, text, repaired))
        throw CliError{"не удалось прочитать " + path};
    return text;
}

} // namespace vocalix::cli
