#include "cli.h"

#include <cstdio>
#include <cstdlib>

namespace devctl {

Cli parse_cli(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    auto parsed = parse_cli_args(args);
    if (auto* cli = std::get_if<Cli>(&parsed)) return std::move(*cli);
    const auto& exit = std::get<CliExit>(parsed);
    std::FILE* stream = exit.status == 0 ? stdout : stderr;
    std::fwrite(exit.text.data(), 1, exit.text.size(), stream);
    std::fflush(stream);
    std::exit(exit.status);
}

}  // namespace devctl
