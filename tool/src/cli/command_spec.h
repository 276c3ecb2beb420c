#pragma once
// The declared command tree: names, help texts, arguments and the rules
// between them. Parsing, help output and usage errors are all driven by it.
#include <string_view>
#include <vector>

namespace devctl::cli {

struct ArgSpec {
    std::string_view id{};        // the record field it fills
    std::string_view long_name{}; // without "--"; empty for a positional
    char short_name = 0;          // 0 when none
    std::string_view value_name{};
    bool takes_value = true;      // false: a flag
    bool required = false;
    bool repeatable = false;      // each occurrence adds one value
    std::vector<std::string_view> possible_values{};  // empty: any text
    std::string_view help{};

    bool positional() const { return long_name.empty() && short_name == 0; }
};

struct CommandSpec {
    std::string_view name{};
    std::string_view about{};
    char short_flag = 0;               // e.g. `sync -a` for `sync all`
    bool subcommand_required = false;  // given alone it prints its help (status 2)
    bool one_flag_required = false;    // exactly one of its flags must be given
    bool help_flag = true;             // -h / --help
    bool is_help_command = false;      // the generated `help` subcommand
    std::vector<ArgSpec> args{};
    std::vector<CommandSpec> subcommands{};  // a `help` entry is added where there are any
};

// The root command "orvex2-devctl-module-tool" with the whole tree.
const CommandSpec& command_tree();

// The help flag every command but `help` carries.
const ArgSpec& help_arg();

const CommandSpec* find_subcommand(const CommandSpec& command, std::string_view name);
const CommandSpec* find_short_subcommand(const CommandSpec& command, char flag);
const ArgSpec* find_long(const CommandSpec& command, std::string_view name);
const ArgSpec* find_short(const CommandSpec& command, char flag);
const ArgSpec* find_positional(const CommandSpec& command, size_t index);
bool has_positionals(const CommandSpec& command);

}  // namespace devctl::cli
