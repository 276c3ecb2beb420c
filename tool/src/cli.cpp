#include "cli.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/arg_walk.h"
#include "cmd/standard_streams.h"

namespace devctl {
namespace {

void declare(CLI::App& app, const cli::CommandDecl& decl) {
    // Help flags and help subcommands are answered before the library runs.
    app.set_help_flag();
    app.description(std::string(decl.about));
    for (const cli::ArgDecl& arg : decl.args) {
        if (arg.positional()) {
            auto* option = app.add_option(std::string(arg.value_name))->description(std::string(arg.help));
            option->required(arg.required);
            if (arg.repeatable) option->expected(0, CLI::detail::expected_max_vector_size);
            continue;
        }
        std::string names = "--" + std::string(arg.long_name);
        if (arg.short_name != 0) names += std::string(",-") + arg.short_name;
        if (!arg.takes_value) {
            app.add_flag(names)->description(std::string(arg.help));
            continue;
        }
        auto* option = app.add_option(names)->description(std::string(arg.help));
        option->type_name(std::string(arg.value_name))->required(arg.required)->expected(1);
        if (arg.repeatable) option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        if (!arg.possible_values.empty()) {
            option->check(CLI::IsMember(std::vector<std::string>(arg.possible_values.begin(), arg.possible_values.end())));
        }
    }
    for (const cli::CommandDecl& sub_decl : decl.subcommands) {
        declare(*app.add_subcommand(std::string(sub_decl.name), std::string(sub_decl.about)), sub_decl);
    }
    if (decl.subcommand_required) {
        app.require_subcommand(1);
    } else if (!decl.subcommands.empty()) {
        app.require_subcommand(0, 1);
    }
}

// The accepted command line in one form the library reads unambiguously:
// every option value as the next argument, positionals after "--".
std::vector<std::string> library_form(const cli::Walked& walked) {
    std::vector<std::string> tokens;
    for (size_t level = 0; level < walked.path.size(); ++level) {
        if (level > 0) tokens.emplace_back(walked.path[level]->name);
        std::vector<std::string> positionals;
        for (const cli::GivenArg& given : walked.given[level]) {
            if (given.arg->positional()) {
                positionals.insert(positionals.end(), given.values.begin(), given.values.end());
                continue;
            }
            std::string name = "--" + std::string(given.arg->long_name);
            if (given.values.empty()) tokens.push_back(name);
            for (const std::string& value : given.values) {
                tokens.push_back(name);
                tokens.push_back(value);
            }
        }
        if (!positionals.empty()) {
            tokens.emplace_back("--");
            tokens.insert(tokens.end(), positionals.begin(), positionals.end());
        }
    }
    return tokens;
}

std::string single(const CLI::App& app, const std::string& name) {
    const auto& results = app.get_option(name)->results();
    return results.empty() ? std::string() : results.front();
}

bool flag(const CLI::App& app, const std::string& name) { return app.get_option(name)->count() > 0; }

std::optional<bool> boolean_option(const CLI::App& app, const std::string& name) {
    if (app.get_option(name)->count() == 0) return std::nullopt;
    return single(app, name) == "true";
}

Commands config_command(const CLI::App& config) {
    if (const CLI::App* get = config.get_subcommand("get"); get->parsed()) {
        return ConfigArgs{ConfigGetArgs{flag(*get, "--initialized"), flag(*get, "--sync-orvex-utils"),
                                        flag(*get, "--box-enabled")}};
    }
    const CLI::App* set = config.get_subcommand("set");
    return ConfigArgs{ConfigSetArgs{boolean_option(*set, "--initialized"), boolean_option(*set, "--sync-orvex-utils"),
                                    boolean_option(*set, "--box-enabled")}};
}

Commands sync_command(const CLI::App& sync) {
    if (const CLI::App* path = sync.get_subcommand("path"); path->parsed()) {
        return SyncArgs{PathArgs{single(*path, "FILE_PATH")}};
    }
    return SyncArgs{SyncAll{}};
}

Cli to_cli(const CLI::App& app) {
    if (const CLI::App* config = app.get_subcommand("config"); config->parsed()) return {config_command(*config)};
    if (const CLI::App* sync = app.get_subcommand("sync"); sync->parsed()) return {sync_command(*sync)};
    if (const CLI::App* merge = app.get_subcommand("merge"); merge->parsed()) {
        return {MergeArgs{single(*merge, "--base-on"), merge->get_option("--add")->results(),
                          single(*merge, "--output")}};
    }
    return {};
}

// The command tree as handed to the parsing library.
std::unique_ptr<CLI::App> build_cli_command() {
    const cli::CommandDecl& root = cli::command_tree();
    auto app = std::make_unique<CLI::App>(std::string(root.about), std::string(root.name));
    declare(*app, root);
    return app;
}

}  // namespace

std::variant<Cli, CliExit> parse_cli_args(const std::vector<std::string>& args) {
    auto walked = cli::walk_args(args);
    if (auto* stop = std::get_if<cli::EarlyExit>(&walked)) return std::move(*stop);
    auto tokens = library_form(std::get<cli::Walked>(walked));
    std::vector<std::string> reversed(tokens.rbegin(), tokens.rend());
    auto app = build_cli_command();
    try {
        app->parse(reversed);
    } catch (const CLI::ParseError& error) {
        // The walk accepts only what the library accepts; this is a fault in the tree.
        return CliExit{2, std::string("error: ") + error.what() + "\n"};
    }
    return to_cli(*app);
}

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
