// orvex2-devctl-module-tool: parse, check for root, run one subcommand, report.
#include <signal.h>
#include <unistd.h>

#include <cstdio>

#include "cli.h"
#include "cmd/run_command.h"
#include "cmd/standard_streams.h"
#include "log/log.h"
#include "policy/keep_alive.h"

namespace {

// Runs the subcommand and reports its failure; the exit status.
int run(devctl::Cli cli, devctl::KeepAlive& keep) {
    devctl::Status result = devctl::run_command(std::move(cli), keep);
    if (result) result = devctl::close_stdout();
    if (result) return 0;
    devctl::log_message(devctl::LogLevel::Error, "failed to run command: " + devctl::report_form(result.error()));
    devctl::print_error_chain(result.error());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    ::signal(SIGXFSZ, SIG_IGN);  // a file-size limit fails the write (EFBIG) instead of killing the tool
    devctl::Cli cli = devctl::parse_cli(argc, argv);
    if (!cli.command) return 0;
    // Only root may change the device policies; others are turned away silently.
    if (geteuid() != 0) return 0;
    devctl::occupy_closed_standard_fds();
    devctl::KeepAlive keep;
    const int status = run(std::move(cli), keep);
#ifndef __SANITIZE_ADDRESS__
    // Every output is in place and reported: what keep holds goes with the
    // process, which is far quicker than freeing it. Leak checking needs the
    // normal way.
    std::fflush(nullptr);
    ::_exit(status);
#endif
    return status;
}
