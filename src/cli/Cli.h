#pragma once

#include "base/IniFile.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace vocalix::cli {

// What every command gets: the program folder, the settings of "$.ini" with the --set
// overrides applied (never written back), the remaining arguments and the output streams.
struct CliContext {
    std::filesystem::path programDir; // with no trailing separator
    base::IniFile settings;
    std::vector<std::string> args; // the arguments after the command name
    std::ostream* out = nullptr;
    std::ostream* err = nullptr;
    std::istream* in = nullptr; // standard input, for FILE "-"
};

// Exit statuses: 0 success, 2 any error (a clear line has been printed to err).
constexpr int kExitOk = 0;
constexpr int kExitError = 2;

// Thrown by commands for bad input; main prints the message and exits with status 2.
struct CliError {
    std::string message;
};

// Parses the global options and runs the command; returns the exit status.
int RunCli(const std::vector<std::string>& argv, const std::filesystem::path& executableDir,
           std::ostream& out, std::ostream& err, std::istream& in = std::cin);

// Writes a command's Windows-1251 result: to OUT byte for byte when given, otherwise to
// standard output converted to UTF-8. Throws CliError when OUT cannot be written.
void EmitText(const CliContext& ctx, const std::string& outPath, const std::string& cp1251);

// Reads FILE as the window program opens it (code-page repair, HTML, FB2, EPUB and RTF converted),
// without writing anything beside it; "-" is standard input, taken as a plain text. Throws
// CliError when it cannot be read.
std::string ReadInputText(const CliContext& ctx, const std::string& path);

// The value of -o: refused when empty ("-" is standard output). Throws CliError.
std::string OutputPathArgument(const std::string& value);

// True (once) for the "--" that ends a command's options; ended stays set afterwards.
bool IsEndOfOptions(const std::string& arg, bool& ended);

// Warns on err about each name of the selection (Windows-1251) that could leave the
// dictionary folder; the loaders skip such names.
void WarnNamesOutsideDictionaryFolder(const CliContext& ctx, const std::string& selection);

// The commands, one file each.
int CmdChangedText(CliContext& ctx);
int CmdRulesReport(CliContext& ctx);
int CmdSpell(CliContext& ctx);
int CmdConvert(CliContext& ctx);
int CmdVoices(CliContext& ctx);
int CmdSpeak(CliContext& ctx);
// Editing commands on the whole text (CmdEdit.cpp).
int CmdFormat(CliContext& ctx);
int CmdClean(CliContext& ctx);
int CmdNumbers(CliContext& ctx);
int CmdColumns(CliContext& ctx);
int CmdSortLines(CliContext& ctx);
int CmdMove(CliContext& ctx);
int CmdProperties(CliContext& ctx);
int CmdFreshEye(CliContext& ctx);
int CmdNames(CliContext& ctx);
int CmdHunt(CliContext& ctx);
int CmdFileOp(CliContext& ctx);
int CmdRecord(CliContext& ctx);
int CmdSeries(CliContext& ctx);
int CmdWorker(CliContext& ctx);

} // namespace vocalix::cli
