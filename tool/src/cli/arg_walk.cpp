// Walks the process arguments over the command tree and fills the parsed
// command line, or gives the help page or usage error that ends the process.
#include <algorithm>
#include <optional>
#include <utility>

#include "cli.h"
#include "cli/unicode_text.h"
#include "cli/usage_error.h"
#include "text/utf8.h"

namespace devctl::cli {
namespace {

// Set when the walk ends the process instead of giving a command line.
using Stop = std::optional<CliExit>;

class Walker {
public:
    explicit Walker(const std::vector<std::string>& args) : args_(args) { path_.push_back(&command_tree()); }

    std::variant<Cli, CliExit> run() {
        for (next_ = 0; next_ < args_.size();) {
            const std::string& token = args_[next_++];
            if (Stop stop = step(token)) return *stop;
        }
        if (Stop stop = finish()) return *stop;
        return std::move(cli_);
    }

private:
    const CommandDecl& command() const { return *path_.back(); }

    Stop fail(const UsageError& error) const { return CliExit{2, render_error(error, command())}; }

    Stop step(const std::string& token) {
        if (!valid_utf8(token)) return fail(invalid_utf8(help_usage(path_)));
        if (!trailing_) {
            bool awaiting_value = pending_ != nullptr && !pending_value_;
            if (!awaiting_value) {
                if (const CommandDecl* sub = find_subcommand(command(), token)) {
                    if (Stop stop = resolve_pending()) return stop;
                    if (sub->is_help_command) return help_subcommand();
                    enter(*sub);
                    return {};
                }
            }
            if (token == "--") {
                trailing_ = true;
                return {};
            }
            if (token.starts_with("--")) return long_option(std::string_view(token).substr(2));
            if (token.size() > 1 && token[0] == '-') return short_cluster(token);
            if (awaiting_value) {
                pending_value_ = token;
                return {};
            }
        }
        return positional(token);
    }

    void enter(const CommandDecl& sub) {
        path_.push_back(&sub);
        used_.clear();
        positionals_ = 0;
        if (sub.enter != nullptr) sub.enter(cli_);
    }

    // One occurrence of an argument, with its value if it takes one.
    Stop react(const ArgDecl& arg, std::optional<std::string> value) {
        if (&arg == &help_arg()) return CliExit{0, help_page(path_)};
        if (arg.takes_value && !value) return fail(invalid_value(arg, ""));
        const bool seen = std::ranges::find(used_, &arg) != used_.end();
        if (seen && !arg.repeatable) return fail(used_twice(arg, help_usage(path_)));
        if (value && !arg.possible_values.empty() &&
            std::ranges::find(arg.possible_values, *value) == arg.possible_values.end()) {
            return fail(invalid_value(arg, *value));
        }
        if (!seen) used_.push_back(&arg);
        arg.store(cli_, value.value_or("true"));
        return {};
    }

    Stop resolve_pending() {
        if (pending_ == nullptr) return {};
        const ArgDecl& arg = *pending_;
        pending_ = nullptr;
        return react(arg, std::exchange(pending_value_, std::nullopt));
    }

    void drop_pending() {
        pending_ = nullptr;
        pending_value_.reset();
    }

    Stop long_option(std::string_view body) {
        size_t eq = body.find('=');
        std::string_view name = body.substr(0, eq);
        std::optional<std::string> value;
        if (eq != std::string_view::npos) value = std::string(body.substr(eq + 1));
        const ArgDecl* arg = find_long(command(), name);
        if (arg == nullptr) {
            drop_pending();
            const ArgDecl* similar = closest_long(command(), name);
            auto shown = used_;
            if (similar != nullptr) shown.push_back(similar);
            return fail(unknown_option(command(), "--" + std::string(name), similar, error_usage(path_, shown),
                                       trailing_));
        }
        if (Stop stop = resolve_pending()) return stop;
        if (!arg->takes_value) {
            if (value) {
                auto shown = used_;
                shown.push_back(arg);
                return fail(unneeded_value(*arg, *value, error_usage(path_, shown)));
            }
            return react(*arg, std::nullopt);
        }
        if (value) return react(*arg, std::move(value));
        pending_ = arg;
        return {};
    }

    Stop short_cluster(std::string_view token) {
        for (size_t i = 1; i < token.size();) {
            size_t length = decode_utf8(token.substr(i)).length;
            std::string_view flag = token.substr(i, length);
            const ArgDecl* arg = length == 1 ? find_short(command(), flag[0]) : nullptr;
            const CommandDecl* sub = length == 1 ? find_short_subcommand(command(), flag[0]) : nullptr;
            i += length;
            if (arg != nullptr) {
                if (Stop stop = resolve_pending()) return stop;
                if (!arg->takes_value) {
                    if (Stop stop = react(*arg, std::nullopt)) return stop;
                    continue;
                }
                std::string_view rest = token.substr(i);
                // "-b=" gives the empty value, as "--base-on=" does.
                const bool with_equals = rest.starts_with('=');
                if (with_equals) rest.remove_prefix(1);
                if (with_equals || !rest.empty()) return react(*arg, std::string(rest));
                pending_ = arg;
                return {};
            }
            if (sub != nullptr) {
                if (Stop stop = resolve_pending()) return stop;
                enter(*sub);
                continue;
            }
            drop_pending();
            return fail(unknown_option(command(), "-" + std::string(flag), nullptr, help_usage(path_), trailing_));
        }
        return {};
    }

    Stop positional(const std::string& token) {
        const ArgDecl* arg = find_positional(command(), positionals_);
        if (arg == nullptr) {
            drop_pending();
            if (!trailing_ && !command().subcommands.empty()) {
                return fail(unrecognized_subcommand(path_, token, true));
            }
            return fail(unexpected_argument(token, help_usage(path_)));
        }
        if (Stop stop = resolve_pending()) return stop;
        ++positionals_;
        return react(*arg, token);
    }

    // `help NAME...`: the help page of the named command, the names taken
    // from the command that owns this `help`.
    Stop help_subcommand() {
        CommandPath target = path_;
        for (; next_ < args_.size(); ++next_) {
            std::string name = lossy_utf8(args_[next_]);
            const CommandDecl* sub = find_subcommand(*target.back(), name);
            if (sub == nullptr) {
                return CliExit{2, render_error(unrecognized_subcommand(target, name, false), *target.back())};
            }
            target.push_back(sub);
        }
        return CliExit{0, help_page(target)};
    }

    Stop finish() {
        if (Stop stop = resolve_pending()) return stop;
        const CommandDecl& cmd = command();
        if (cmd.subcommand_required) return CliExit{2, help_page(path_)};
        if (cmd.one_flag_required) {
            std::vector<const ArgDecl*> flags;
            // Help ends the walk before it is counted as used.
            for (const ArgDecl* arg : used_) {
                if (!arg->positional()) flags.push_back(arg);
            }
            if (flags.size() >= 2) {
                std::vector<const ArgDecl*> others(flags.begin() + 1, flags.end());
                return fail(used_together(*flags.front(), others, error_usage(path_, {flags.front()})));
            }
        }
        auto missing = missing_required(cmd, used_);
        if (!missing.empty()) return fail(missing_arguments(missing, error_usage(path_, used_)));
        return {};
    }

    const std::vector<std::string>& args_;
    size_t next_ = 0;
    CommandPath path_;                    // root first
    std::vector<const ArgDecl*> used_;    // of the current command, in order of first use
    Cli cli_;
    const ArgDecl* pending_ = nullptr;  // an option waiting for or holding its value
    std::optional<std::string> pending_value_;
    size_t positionals_ = 0;
    bool trailing_ = false;  // after "--": everything is a positional value
};

}  // namespace
}  // namespace devctl::cli

namespace devctl {

std::variant<Cli, CliExit> parse_cli_args(const std::vector<std::string>& args) { return cli::Walker(args).run(); }

}  // namespace devctl
