#include "cli/Cli.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/Settings.h"
#include "documents/DocumentFiles.h"
#include "documents/OpenDocument.h"
#include "textprep/Dictionaries.h"
#include "textprep/PronunciationFilter.h"
#include "textprep/StringRoutines.h"

#include <functional>
#include <iostream>
#include <iterator>
#include <new>
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
    {"format", "format [-o OUT] FILE", "литературный текст (настройки LitText)", CmdFormat},
    {"clean",
     "clean dele-breaks|tab-to-space|nbsp-to-space|quotes|dashes|ellipsis|paragraph-to-line|"
     "dele-spaces|dele-empty-lines|upper|lower [-o OUT] FILE",
     "команда чистки текста", CmdClean},
    {"numbers", "numbers [-o OUT] FILE", "числа прописью", CmdNumbers},
    {"columns", "columns all|lower|case [-o OUT] FILE", "слова в столбик", CmdColumns},
    {"sort-lines", "sort-lines [-o OUT] FILE", "строки по алфавиту", CmdSortLines},
    {"move", "move right|left [-o OUT] FILE", "сдвиг текста вправо или влево", CmdMove},
    {"properties", "properties [-o OUT] FILE", "общие свойства текста", CmdProperties},
    {"fresh-eye", "fresh-eye [-o OUT] FILE",
     "свежий взгляд: близко стоящие похожие слова (FreshEye/Deep, FreshEye/Similarity)",
     CmdFreshEye},
    {"names", "names [-o OUT] FILE", "имена и аббревиатуры в тексте", CmdNames},
    {"hunt", "hunt --list LIST [-o OUT] FILE", "все слова текста из списка LIST", CmdHunt},
    {"fileop", "fileop difference|intersection|union [-o OUT] FILE1 FILE2",
     "разность, пересечение или объединение строк двух файлов", CmdFileOp},
    {"record", "record [--dic SELECTION] [--to DIR] FILE...",
     "записать тексты в аудиофайлы (WAV, MP3, OGG)", CmdRecord},
    {"series", "series FILE", "разбить текст на части сериала", CmdSeries},
    {"worker", "worker",
     "служебная: процесс, которому команда записи поручает часть текста (Extra/Workers)",
     CmdWorker},
};

void PrintHelp(std::ostream& out) {
    out << "Использование: vocalix-cli [--program-dir DIR] [--set Раздел/Ключ=Значение]... "
           "КОМАНДА ...\n\nКоманды:\n";
    for (const auto& c : kCommands)
        out << "  " << c.usage << "\n      " << c.summary << "\n";
    out << "\nБез -o результат выводится в UTF-8; с -o OUT записывается в Windows-1251 с "
           "концами строк CR LF (-o - — в стандартный вывод).\n-- заканчивает параметры.\nПри "
           "ошибке печатается одна строка и код выхода 2.\n";
}

bool SameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// Why a --set value cannot be used ("" when it can): "Раздел/Ключ=Значение" with a non-empty
// section and key, no further "/", and a number for a key the program reads as a number.
std::string SetOptionProblem(const std::string& v) {
    const size_t eq = v.find('=');
    const size_t slash = v.find('/');
    if (eq == std::string::npos || slash == std::string::npos || eq < slash)
        return "--set ждёт Раздел/Ключ=Значение, получено: " + v;
    const std::string section = v.substr(0, slash), key = v.substr(slash + 1, eq - slash - 1);
    if (section.empty() || key.empty() || key.find('/') != std::string::npos)
        return "--set ждёт Раздел/Ключ=Значение, получено: " + v;
    const std::string value = v.substr(eq + 1);
    for (const base::SettingsKey& k : base::SettingsKeys()) {
        if (!SameAscii(k.section, section) || !SameAscii(k.key, key) ||
            std::holds_alternative<std::string base::Options::*>(k.member))
            continue;
        // The window reads the value with this same routine; two defaults tell a number apart.
        base::IniFile probe;
        probe.WriteString("s", "k", value);
        if (probe.ReadInteger("s", "k", 0) != probe.ReadInteger("s", "k", 1))
            return "--set: для " + section + "/" + key + " нужно целое число, получено: " + value;
    }
    return {};
}

} // namespace

std::string OutputPathArgument(const std::string& value) {
    if (value.empty())
        throw CliError{"после -o нужно имя файла (или - для стандартного вывода)"};
    return value;
}

void WarnNamesOutsideDictionaryFolder(const CliContext& ctx, const std::string& selection) {
    for (const std::string& name : textprep::SplitBy(selection, '+'))
        if (!textprep::IsPlainDictionaryName(name))
            *ctx.err << "vocalix-cli: словарь вне папки словарей пропущен: "
                     << base::Cp1251ToUtf8(name) << "\n";
}

bool IsEndOfOptions(const std::string& arg, bool& ended) {
    if (ended || arg != "--")
        return false;
    ended = true;
    return true;
}

int RunCli(const std::vector<std::string>& argv, const std::filesystem::path& executableDir,
           std::ostream& out, std::ostream& err, std::istream& in) {
    CliContext ctx;
    ctx.programDir = executableDir;
    ctx.out = &out;
    ctx.err = &err;
    ctx.in = &in;
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
                if (const std::string problem = SetOptionProblem(v); !problem.empty()) {
                    err << "vocalix-cli: " << problem << "\n";
                    return kExitError;
                }
                const size_t eq = v.find('=');
                overrides.emplace_back(v.substr(0, eq), v.substr(eq + 1));
            }
            continue;
        }
        if (a == "--") {
            ++i;
            break;
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
    // "COMMAND --help" (before any "--") is that command's usage.
    for (size_t k = i + 1; k < argv.size() && argv[k] != "--"; ++k) {
        if (argv[k] == "--help" || argv[k] == "-h") {
            out << "Использование: vocalix-cli " << command->usage << "\n    " << command->summary
                << "\nFILE \"-\" читается из стандартного ввода.\n";
            out.flush();
            return out ? kExitOk : kExitError;
        }
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
    int status = kExitOk;
    try {
        status = command->run(ctx);
    } catch (const CliError& e) {
        err << "vocalix-cli: " << e.message << "\n";
        return kExitError;
    } catch (const textprep::MemoryExhausted&) {
        err << "vocalix-cli: " << base::Cp1251ToUtf8(textprep::MemoryExhaustedMessage()) << "\n";
        return kExitError;
    } catch (const std::bad_alloc&) {
        err << "vocalix-cli: недостаточно памяти, команда прервана\n";
        return kExitError;
    }
    // A full disk or a closed standard output must not pass for success.
    out.flush();
    if (!out) {
        err << "vocalix-cli: не удалось записать результат в стандартный вывод\n";
        return kExitError;
    }
    return status;
}

void EmitText(const CliContext& ctx, const std::string& outPath, const std::string& cp1251) {
    if (outPath.empty() || outPath == "-") {
        // "-o -" is the OUT format (Windows-1251 bytes) on standard output.
        *ctx.out << (outPath.empty() ? base::Cp1251ToUtf8(cp1251) : cp1251);
        ctx.out->flush();
        if (!*ctx.out)
            throw CliError{"не удалось записать результат в стандартный вывод"};
        return;
    }
    std::string error;
    if (!base::WriteFileAtomic(outPath, cp1251, &error))
        throw CliError{"не удалось записать " + outPath + ": " + error};
}

std::string ReadInputText(const CliContext& ctx, const std::string& path) {
    if (path == "-") {
        // Standard input is a plain text, recognised like a ".txt" file.
        std::string bytes{std::istreambuf_iterator<char>(*ctx.in),
                          std::istreambuf_iterator<char>()};
        if (ctx.in->bad())
            throw CliError{"не удалось прочитать стандартный ввод"};
        bool repaired = false;
        return documents::DocumentTextFromBytes(std::move(bytes), ".txt", repaired);
    }
    std::error_code ec;
    if (const std::string kind = base::SpecialFileKind(path); !kind.empty())
        throw CliError{"это " + kind + ", а не файл: " + path};
    if (!std::filesystem::is_regular_file(path, ec))
        throw CliError{"файл не найден: " + path};
    const std::string ext = documents::LowerExtension(path);
    if (ext == ".doc" || ext == ".docx")
        throw CliError{"документы Word сначала преобразуйте в текст: " + path};
    std::string text, error;
    bool repaired = false;
    if (!documents::ReadDocumentText(path, text, repaired, nullptr, nullptr, &error))
        throw CliError{"не удалось прочитать " + path +
                       (error.empty() ? std::string() : ": " + base::Cp1251ToUtf8(error))};
    return text;
}

} // namespace vocalix::cli
