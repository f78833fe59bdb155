#include "cli/Cli.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/Settings.h"
#include "documents/DocumentFiles.h"
#include "textprep/Dictionaries.h"
#include "textprep/PronunciationFilter.h"
#include "tools/FileSetOperations.h"
#include "tools/FreshEye.h"
#include "tools/Names.h"
#include "tools/TextProperties.h"
#include "tools/WordHunt.h"

#include <filesystem>
#include <new>

namespace vocalix::cli {
namespace {

namespace tools = vocalix::tools;

// The arguments of a report command: [-o OUT] [--list LIST] and the file names.
struct ReportArgs {
    std::string outPath;
    std::string list;
    std::vector<std::string> files;
};

ReportArgs ParseReportArgs(const CliContext& ctx, bool takesList, size_t fileCount) {
    ReportArgs r;
    for (size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        if (a == "-o" || (takesList && a == "--list")) {
            if (i + 1 >= ctx.args.size())
                throw CliError{"после " + a + " нужно имя файла"};
            (a == "-o" ? r.outPath : r.list) = ctx.args[++i];
        } else if (!a.empty() && a[0] == '-') {
            throw CliError{"неизвестный параметр: " + a};
        } else if (r.files.size() < fileCount) {
            r.files.push_back(a);
        } else {
            throw CliError{"лишний аргумент: " + a};
        }
    }
    if (r.files.size() < fileCount)
        throw CliError{fileCount == 1 ? "не указан FILE" : "не указаны FILE1 и FILE2"};
    if (takesList && r.list.empty())
        throw CliError{"не указан список: --list LIST"};
    return r;
}

// The name without folder, as the report headers show the current document.
std::string TitleOf(const std::string& utf8Path) {
    return documents::FileTitle(base::Utf8ToCp1251(utf8Path));
}

// The document as its page holds it: converted like an opened file, CR LF line ends.
std::string PageText(const CliContext& ctx, const std::string& path) {
    return base::ToCrLf(ReadInputText(ctx, path));
}

// The lines of a file as a word list or a set operation loads it, bytes as they stand.
std::vector<std::string> FileLines(const std::string& path) {
    std::string bytes, error;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || !base::ReadFileBytes(path, bytes, &error))
        throw CliError{"не удалось прочитать " + path + (error.empty() ? "" : ": " + error)};
    std::vector<std::string> lines;
    textprep::SplitDictionaryLines(bytes, lines);
    return lines;
}

// Runs a report; memory running out ends the command with the window's message.
template <class Make> int Emit(const CliContext& ctx, const std::string& outPath, Make&& make) {
    std::string report;
    try {
        report = make();
    } catch (const std::bad_alloc&) {
        throw CliError{base::Cp1251ToUtf8(textprep::MemoryExhaustedMessage())};
    }
    EmitText(ctx, outPath, report);
    return kExitOk;
}

} // namespace

// properties [-o OUT] FILE: the report "Общая" writes into page "0".
int CmdProperties(CliContext& ctx) {
    const ReportArgs a = ParseReportArgs(ctx, false, 1);
    const std::string text = PageText(ctx, a.files[0]);
    return Emit(ctx, a.outPath,
                [&] { return tools::TextPropertiesReport(text, TitleOf(a.files[0])); });
}

// fresh-eye [-o OUT] FILE: the report "Свежий взгляд", with Deep and Similarity of the
// settings (or --set FreshEye/Deep=...).
int CmdFreshEye(CliContext& ctx) {
    const ReportArgs a = ParseReportArgs(ctx, false, 1);
    const base::Options options = base::ReadAllOptions(ctx.settings);
    const std::string text = PageText(ctx, a.files[0]);
    return Emit(ctx, a.outPath, [&] {
        return tools::FreshEyeReport(text, TitleOf(a.files[0]),
                                     {options.Deep, static_cast<double>(options.Similarity)});
    });
}

// names [-o OUT] FILE: the report "Имена и аббревиатуры".
int CmdNames(CliContext& ctx) {
    const ReportArgs a = ParseReportArgs(ctx, false, 1);
    const std::string text = PageText(ctx, a.files[0]);
    return Emit(ctx, a.outPath, [&] { return tools::NamesReport(text, TitleOf(a.files[0])); });
}

// hunt --list LIST [-o OUT] FILE: the report "Найти по списку..." with LIST as the chosen
// check list.
int CmdHunt(CliContext& ctx) {
    const ReportArgs a = ParseReportArgs(ctx, true, 1);
    const std::string text = PageText(ctx, a.files[0]);
    const std::vector<std::string> list = FileLines(a.list);
    return Emit(ctx, a.outPath, [&] {
        return tools::WordHuntReport(text, TitleOf(a.files[0]), list, TitleOf(a.list));
    });
}

// fileop difference|intersection|union [-o OUT] FILE1 FILE2: the file set operations, the
// header naming the files as given.
int CmdFileOp(CliContext& ctx) {
    if (ctx.args.empty())
        throw CliError{"fileop ждёт difference, intersection или union, затем FILE1 FILE2"};
    const std::string mode = ctx.args[0];
    tools::FileSetOperation op;
    if (mode == "difference")
        op = tools::FileSetOperation::Difference;
    else if (mode == "intersection")
        op = tools::FileSetOperation::Intersection;
    else if (mode == "union")
        op = tools::FileSetOperation::Union;
    else
        throw CliError{"fileop ждёт difference, intersection или union, затем FILE1 FILE2"};
    ctx.args.erase(ctx.args.begin());
    const ReportArgs a = ParseReportArgs(ctx, false, 2);
    const std::vector<std::string> first = FileLines(a.files[0]);
    const std::vector<std::string> second = FileLines(a.files[1]);
    return Emit(ctx, a.outPath, [&] {
        return tools::FileSetReport(op, base::Utf8ToCp1251(a.files[0]), first,
                                    base::Utf8ToCp1251(a.files[1]), second);
    });
}

} // namespace vocalix::cli
