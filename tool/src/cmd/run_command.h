#pragma once
// Runs the one subcommand of a parsed command line.
#include "cli.h"
#include "error/chained_error.h"

namespace devctl {

// The command line must name a subcommand. The operation's result is
// returned unchanged; running out of memory fails with "out of memory".
Status run_command(Cli cli);

// "running merge command: BASE + [\"a\", \"b\"] => OUTPUT"
std::string merge_log_line(const MergeArgs& args);

}  // namespace devctl
