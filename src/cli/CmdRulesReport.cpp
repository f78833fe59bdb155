#include "cli/Cli.h"

namespace vocalix::cli {

// Not built yet.
int CmdRulesReport(CliContext&) {
    throw CliError{"эта команда ещё не реализована"};
}

} // namespace vocalix::cli
