#include "cli/command_tree.h"

#include <optional>
#include <string>
#include <type_traits>

namespace devctl::cli {
namespace {

// The record of the leaf command being parsed; its `enter` has set it.
template <class Record>
Record& leaf(Cli& cli) {
    if constexpr (std::is_same_v<Record, MergeArgs>) {
        return std::get<MergeArgs>(*cli.command);
    } else if constexpr (std::is_same_v<Record, PathArgs>) {
        return std::get<PathArgs>(std::get<SyncArgs>(*cli.command).command);
    } else {
        return std::get<Record>(std::get<ConfigArgs>(*cli.command).command);
    }
}

// One occurrence by field type; only "true" and "false" reach a boolean.
void take(std::optional<bool>& field, std::string_view value) { field = value == "true"; }
void take(std::string& field, std::string_view value) { field = value; }
void take(std::vector<std::string>& field, std::string_view value) { field.emplace_back(value); }

template <class Record, class Field>
Record record_of(Field Record::*);

template <auto Field>
void store(Cli& cli, std::string_view value) {
    take(leaf<decltype(record_of(Field))>(cli).*Field, value);
}

// A setting: a flag of `config get`, an option of `config set` that takes
// true or false.
template <auto Field>
ArgDecl setting(std::string_view long_name, std::string_view value_name, std::string_view help) {
    if constexpr (std::is_same_v<decltype(record_of(Field)), ConfigGetArgs>) {
        return {.store = store<Field>, .long_name = long_name, .takes_value = false, .help = help};
    } else {
        return {.store = store<Field>, .long_name = long_name, .value_name = value_name,
                .possible_values = {"true", "false"}, .help = help};
    }
}

// The settings, listed alike by `config get` and `config set`.
template <class Record>
std::vector<ArgDecl> settings() {
    return {setting<&Record::initialized>("initialized", "INITIALIZED", "设置策略是否初始化过"),
            setting<&Record::sync_orvex_utils>("sync-orvex-utils", "SYNC_ORVEX_UTILS",
                                               "是否需要在下次开机时同步orvex-utils的默认策略"),
            setting<&Record::box_enabled>("box-enabled", "BOX_ENABLED", "记录box状态是否已开启")};
}

CommandDecl help_command() {
    return {.name = "help",
            .about = "Print this message or the help of the given subcommand(s)",
            .is_help_command = true,
            .args = {{.value_name = "COMMAND", .required = false, .repeatable = true,
                      .help = "Print help for the subcommand(s)"}}};
}

// Commands with subcommands get the generated `help` last.
CommandDecl with_help(CommandDecl command) {
    command.subcommands.push_back(help_command());
    return command;
}

}  // namespace

CommandDecl build_cli_command() {
    CommandDecl config_get{
        .name = "get",
        .about = "获取设置",
        .enter = [](Cli& cli) { cli.command = ConfigArgs{ConfigGetArgs{false, false, false}}; },
        .one_flag_required = true,
        .args = settings<ConfigGetArgs>()};
    CommandDecl config_set{
        .name = "set",
        .about = "更改设置",
        .enter = [](Cli& cli) { cli.command = ConfigArgs{ConfigSetArgs{}}; },
        .args = settings<ConfigSetArgs>()};
    CommandDecl config = with_help({.name = "config",
                                    .about = "获取或更改设置项",
                                    .subcommand_required = true,
                                    .subcommands = {config_get, config_set}});
    CommandDecl merge{
        .name = "merge",
        .about = "合并json策略",
        .enter = [](Cli& cli) { cli.command = MergeArgs{}; },
        .args = {{.store = store<&MergeArgs::base_on>, .long_name = "base-on", .short_name = 'b',
                  .value_name = "BASE_ON", .required = true, .help = "基于哪个策略"},
                 {.store = store<&MergeArgs::to_add>, .long_name = "add", .short_name = 'a', .value_name = "TO_ADD",
                  .repeatable = true, .help = "需要叠加的策略"},
                 {.store = store<&MergeArgs::output>, .long_name = "output", .short_name = 'o',
                  .value_name = "OUTPUT", .required = true, .help = "合并后保存到哪里"}}};
    CommandDecl sync_all{.name = "all",
                         .about = "同步所有策略",
                         .enter = [](Cli& cli) { cli.command = SyncArgs{SyncAll{}}; },
                         .short_flag = 'a'};
    CommandDecl sync_path{.name = "path",
                          .about = "同步指定策略",
                          .enter = [](Cli& cli) { cli.command = SyncArgs{PathArgs{}}; },
                          .short_flag = 'p',
                          .args = {{.store = store<&PathArgs::file_path>, .value_name = "FILE_PATH",
                                    .required = true, .help = "策略文件路径"}}};
    CommandDecl sync = with_help({.name = "sync",
                                  .about = "同步策略",
                                  .subcommand_required = true,
                                  .subcommands = {sync_all, sync_path}});
    return with_help({.name = "orvex2-devctl-module-tool", .subcommands = {config, merge, sync}});
}

const CommandDecl& command_tree() {
    static const CommandDecl tree = build_cli_command();
    return tree;
}

const ArgDecl& help_arg() {
    static const ArgDecl arg{.long_name = "help", .short_name = 'h', .takes_value = false,
                             .help = "Print help"};
    return arg;
}

const CommandDecl* find_subcommand(const CommandDecl& command, std::string_view name) {
    for (const CommandDecl& sub : command.subcommands) {
        if (sub.name == name) return &sub;
    }
    return nullptr;
}

const CommandDecl* find_short_subcommand(const CommandDecl& command, char flag) {
    for (const CommandDecl& sub : command.subcommands) {
        if (sub.short_flag != 0 && sub.short_flag == flag) return &sub;
    }
    return nullptr;
}

const ArgDecl* find_long(const CommandDecl& command, std::string_view name) {
    for (const ArgDecl& arg : command.args) {
        if (!arg.long_name.empty() && arg.long_name == name) return &arg;
    }
    if (command.has_help_flag() && name == help_arg().long_name) return &help_arg();
    return nullptr;
}

const ArgDecl* find_short(const CommandDecl& command, char flag) {
    for (const ArgDecl& arg : command.args) {
        if (arg.short_name != 0 && arg.short_name == flag) return &arg;
    }
    if (command.has_help_flag() && flag == help_arg().short_name) return &help_arg();
    return nullptr;
}

const ArgDecl* find_positional(const CommandDecl& command, size_t index) {
    for (const ArgDecl& arg : command.args) {
        if (!arg.positional()) continue;
        if (index == 0 || arg.repeatable) return &arg;
        --index;
    }
    return nullptr;
}

}  // namespace devctl::cli
