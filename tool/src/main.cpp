// orvex2-devctl-module-tool: parse, check for root, run one subcommand, report.
#include <signal.h>
#include <unistd.h>

#include "cli.h"
#include "cmd/run_command.h"
#include "cmd/standard_streams.h"
#include "log/log.h"

int main(int argc, char** argv) {
    ::signal(SIGXFSZ, SIG_IGN);  // a file-size limit fails the write (EFBIG) instead of killing the tool
    devctl::Cli cli = devctl::parse_cli(argc, argv);
    if (!cli.command) return 0;
    // Only root may change the device policies; others are turned away silently.
    if (geteuid() != 0) return 0;
    devctl::occupy_closed_standard_fds();
    devctl::Status result = devctl::run_command(std::move(cli));
    if (result) result = devctl::close_stdout();
    if (result) return 0;
    devctl::log_message(devctl::LogLevel::Error, "failed to run command: " + devctl::report_form(result.error()));
    devctl::print_error_chain(result.error());
    return 1;
}
