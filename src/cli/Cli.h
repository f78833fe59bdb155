#pragma once

#include "base/IniFile.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace vocalix::cli {

// What every command gets: the program folder, the settings of "$.ini" with the --set
// overrides applied (never written back), the remaining arguments and the output streams.
struct CliContext {
    std::filesystem::path programDir; // with no trailing separator
    base::IniFile settings;
    std::vector<std::string> args;    // the arguments after the command name
    std::ostream* out = nullptr;
    std::ostream* err = nullptr;
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
           std::ostream& out, std::ostream& err);

// Writes a command's Windows-1251 result: to OUT byte for byte when given, otherwise to
// standard output converted to UTF-8. Throws CliError when OUT cannot be written.
void EmitText(const CliContext& ctx, const std::string& outPath, const std::string& cp1251);

// Reads FILE as the window program opens it (code-page repair, HTML, FB2 and RTF converted),
// without writing anything beside it. Throws CliError when it cannot be read.
std::string ReadInputText(const CliContext& ctx, const std::string& path);

// The commands, one file each.
int CmdChangedText(CliContext& ctx);
int CmdRulesReport(CliContext& ctx);
int CmdSpell(CliContext& ctx);
int CmdConvert(CliContext& ctx);
int CmdVoices(CliContext& ctx);
int CmdSpeak(CliContext& ctx);
int CmdRecord(CliContext& ctx);
int CmdSeries(CliContext& ctx);

} // namespace vocalix::cli
