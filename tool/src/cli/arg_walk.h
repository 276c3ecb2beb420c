#pragma once
// Walks the process arguments over the command tree: finds the chosen
// commands and the values of their arguments, or the help page or usage
// error that ends the process instead.
#include <string>
#include <variant>
#include <vector>

#include "cli.h"
#include "cli/help_text.h"

namespace devctl::cli {

struct GivenArg {
    const ArgDecl* arg = nullptr;
    std::vector<std::string> values;  // one per occurrence; none for a flag
};

struct Walked {
    CommandPath path;                            // root first
    std::vector<std::vector<GivenArg>> given;    // per command of path, in order of first use
};

// The process ends here: the text goes to standard output when status is 0,
// else to standard error.
using EarlyExit = CliExit;

std::variant<Walked, EarlyExit> walk_args(const std::vector<std::string>& args);

}  // namespace devctl::cli
