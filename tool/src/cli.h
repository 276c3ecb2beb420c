#pragma once
// The parsed command line of orvex2-devctl-module-tool.
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace devctl {

// After parsing each is true when its flag was given, false otherwise.
struct ConfigGetArgs {
    std::optional<bool> initialized;
    std::optional<bool> sync_orvex_utils;
    std::optional<bool> box_enabled;

    bool operator==(const ConfigGetArgs&) const = default;
};

// Empty where the option was not given.
struct ConfigSetArgs {
    std::optional<bool> initialized;
    std::optional<bool> sync_orvex_utils;
    std::optional<bool> box_enabled;

    bool operator==(const ConfigSetArgs&) const = default;
};

using ConfigCommands = std::variant<ConfigGetArgs, ConfigSetArgs>;

struct ConfigArgs {
    ConfigCommands command;

    bool operator==(const ConfigArgs&) const = default;
};

struct MergeArgs {
    std::string base_on;
    std::vector<std::string> to_add;  // in command-line order
    std::string output;

    bool operator==(const MergeArgs&) const = default;
};

struct SyncAll {
    bool operator==(const SyncAll&) const = default;
};

struct PathArgs {
    std::string file_path;

    bool operator==(const PathArgs&) const = default;
};

using SyncCommands = std::variant<SyncAll, PathArgs>;

struct SyncArgs {
    SyncCommands command;

    bool operator==(const SyncArgs&) const = default;
};

using Commands = std::variant<ConfigArgs, MergeArgs, SyncArgs>;

struct Cli {
    std::optional<Commands> command;  // empty when no subcommand was named

    bool operator==(const Cli&) const = default;
};

// Where parsing ends the process instead of returning: help (status 0, text
// for standard output) or a usage error (status 2, text for standard error).
struct CliExit {
    int status = 0;
    std::string text;
};

// Parses the arguments after the program name.
std::variant<Cli, CliExit> parse_cli_args(const std::vector<std::string>& args);

// Parses the process arguments; on help or a usage error prints and exits.
Cli parse_cli(int argc, char** argv);

}  // namespace devctl
