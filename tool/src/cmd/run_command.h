#pragma once
// Runs the one subcommand of a parsed command line.
#include "cli.h"
#include "error/chained_error.h"
#include "policy/keep_alive.h"

namespace devctl {

// The command line must name a subcommand. The operation's result is
// returned unchanged; running out of memory fails with "out of memory". The
// large objects the operation made are left to keep.
Status run_command(Cli cli, KeepAlive& keep);

// "running merge command: BASE + [\"a\", \"b\"] => OUTPUT"
std::string merge_log_line(const MergeArgs& args);

}  // namespace devctl
