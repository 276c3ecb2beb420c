#pragma once
// The declared command tree: names, help texts, arguments and the rules
// between them. Parsing, help output and usage errors are all driven by it.
#include <string_view>
#include <vector>

#include "cli.h"

namespace devctl::cli {

struct ArgDecl {
    // Writes one occurrence into the record of its command; a flag writes "true".
    void (*store)(Cli& cli, std::string_view value) = nullptr;
    std::string_view long_name{}; // without "--"; empty for a positional, set for every option
    char short_name = 0;          // 0 when none
    std::string_view value_name{};
    bool takes_value = true;      // false: a flag
    bool required = false;
    bool repeatable = false;      // each occurrence adds one value
    std::vector<std::string_view> possible_values{};  // empty: any text
    std::string_view help{};

    bool positional() const { return long_name.empty(); }
};

struct CommandDecl {
    std::string_view name{};
    std::string_view about{};
    void (*enter)(Cli& cli) = nullptr; // a leaf command chooses its record
    char short_flag = 0;               // e.g. `sync -a` for `sync all`
    bool subcommand_required = false;  // given alone it prints its help (status 2)
    bool one_flag_required = false;    // exactly one of its flags must be given
    bool is_help_command = false;      // the generated `help` subcommand
    std::vector<ArgDecl> args{};
    std::vector<CommandDecl> subcommands{};  // a `help` entry is added where there are any

    bool has_help_flag() const { return !is_help_command; }  // -h / --help
};

// A new root command "orvex2-devctl-module-tool" with the whole tree.
CommandDecl build_cli_command();

// The tree of build_cli_command(), built once for the walk and help output.
const CommandDecl& command_tree();

// The help flag every command but `help` carries.
const ArgDecl& help_arg();

const CommandDecl* find_subcommand(const CommandDecl& command, std::string_view name);
const CommandDecl* find_short_subcommand(const CommandDecl& command, char flag);
const ArgDecl* find_long(const CommandDecl& command, std::string_view name);
const ArgDecl* find_short(const CommandDecl& command, char flag);
const ArgDecl* find_positional(const CommandDecl& command, size_t index);

}  // namespace devctl::cli
