#include "cli.h"

#include <cstdio>
#include <cstdlib>

#include "cmd/standard_streams.h"

namespace devctl {

Cli parse_cli(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    auto parsed = parse_cli_args(args);
    if (auto* cli = std::get_if<Cli>(&parsed)) return std::move(*cli);
    const auto& exit = std::get<CliExit>(parsed);
    if (exit.status != 0) {
        std::fwrite(exit.text.data(), 1, exit.text.size(), stderr);
        std::exit(exit.status);
    }
    // Help that does not reach standard output fails like any other output.
    Status shown = print_stdout(exit.text);
    if (shown) shown = close_stdout();
    if (!shown) print_error_chain(shown.error());
    std::exit(shown ? 0 : 1);
}

}  // namespace devctl
