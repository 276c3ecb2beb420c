#pragma once
// The texts of command-line usage errors.
#include <string>
#include <string_view>
#include <vector>

#include "cli/help_text.h"

namespace devctl::cli {

// "error: " + message, the tips, the usage line, and how to get help.
struct UsageError {
    std::string message;
    std::vector<std::string> tips;  // each becomes "  tip: ..."
    std::string usage;              // empty: no usage line
};
std::string render_error(const UsageError& error, const CommandDecl& command);

UsageError unexpected_argument(std::string_view arg, const std::string& usage);
// The long option of the command closest to a mistyped one, if any.
const ArgDecl* closest_long(const CommandDecl& command, std::string_view typed);

// similar: the closest long option, or null.
UsageError unknown_option(const CommandDecl& command, std::string_view arg, const ArgDecl* similar,
                          const std::string& usage, bool trailing);
UsageError unrecognized_subcommand(const CommandPath& path, std::string_view name, bool suggest);
UsageError invalid_value(const ArgDecl& arg, std::string_view value);
UsageError unneeded_value(const ArgDecl& arg, std::string_view value, const std::string& usage);
UsageError used_twice(const ArgDecl& arg, const std::string& usage);
UsageError used_together(const ArgDecl& arg, const std::vector<const ArgDecl*>& others, const std::string& usage);
UsageError missing_arguments(const std::vector<std::string>& missing, const std::string& usage);
UsageError invalid_utf8(const std::string& usage);

}  // namespace devctl::cli
