#include "cli/help_text.h"

#include <algorithm>

#include "cli/unicode_text.h"

namespace devctl::cli {
namespace {

constexpr std::string_view kTab = "  ";
constexpr size_t kTabWidth = 2;
// Help texts wrap onto their own line when they would pass this width.
constexpr size_t kTermWidth = 100;
constexpr std::string_view kNextLineIndent = "          ";

bool contains(const std::vector<const ArgDecl*>& args, const ArgDecl* arg) {
    return std::find(args.begin(), args.end(), arg) != args.end();
}

// The flags of a command whose exactly-one rule makes them a required group.
std::vector<const ArgDecl*> group_members(const CommandDecl& command) {
    std::vector<const ArgDecl*> members;
    if (!command.one_flag_required) return members;
    for (const ArgDecl& arg : command.args) {
        if (!arg.positional()) members.push_back(&arg);
    }
    return members;
}

std::string group_display(const CommandDecl& command) {
    std::string out = "<";
    bool first = true;
    for (const ArgDecl* arg : group_members(command)) {
        if (!first) out += '|';
        first = false;
        out += arg_display(*arg);
    }
    return out + ">";
}

// Required options (then the given ones), the required group, then the
// positionals in order; `missing_only` leaves out what was given.
std::vector<std::string> required_parts(const CommandDecl& command, const std::vector<const ArgDecl*>& given,
                                        bool missing_only, bool optional_positionals) {
    const std::vector<const ArgDecl*> members = group_members(command);
    std::vector<const ArgDecl*> options;
    auto add_option = [&](const ArgDecl* arg) {
        if (arg->positional() || contains(options, arg) || contains(members, arg)) return;
        if (missing_only && contains(given, arg)) return;
        options.push_back(arg);
    };
    for (const ArgDecl& arg : command.args) {
        if (arg.required) add_option(&arg);
    }
    if (!missing_only) {
        for (const ArgDecl* arg : given) add_option(arg);
    }
    std::vector<std::string> parts;
    for (const ArgDecl* arg : options) parts.push_back(arg_display(*arg));
    if (command.one_flag_required) {
        bool satisfied = std::ranges::any_of(members, [&](const ArgDecl* a) { return contains(given, a); });
        if (!(missing_only && satisfied)) parts.push_back(group_display(command));
    }
    for (const ArgDecl& arg : command.args) {
        if (!arg.positional()) continue;
        bool wanted = arg.required || optional_positionals || (!missing_only && contains(given, &arg));
        if (missing_only && contains(given, &arg)) wanted = false;
        if (wanted) parts.push_back(arg_display(arg));
    }
    return parts;
}

bool needs_options_tag(const CommandDecl& command) {
    auto members = group_members(command);
    return std::ranges::any_of(command.args, [&](const ArgDecl& arg) {
        return !arg.positional() && !arg.required && !contains(members, &arg);
    });
}

std::string help_with_note(std::string_view help, const std::string& note) {
    std::string out(help);
    if (!note.empty()) {
        if (!out.empty()) out += ' ';
        out += note;
    }
    return out;
}

struct Row {
    std::string lead;     // what stands before the alignment padding
    size_t own_width;     // width counted for the alignment
    std::string text;
};

// When one help text would pass the terminal width, every help text of the
// section goes on its own line. `taken` is the width of the name column.
bool section_wraps(const std::vector<Row>& rows, size_t taken) {
    return kTermWidth >= taken && static_cast<double>(taken) / kTermWidth > 0.40 &&
           std::ranges::any_of(rows, [&](const Row& row) { return display_width(row.text) > kTermWidth - taken; });
}

std::string render_rows(const std::vector<Row>& rows, size_t taken_extra) {
    size_t longest = 2;
    for (const Row& row : rows) longest = std::max(longest, row.own_width);
    bool next_line = section_wraps(rows, longest + kTabWidth * 2 + taken_extra);
    std::string out;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        if (i > 0) out += '\n';
        out += kTab;
        out += row.lead;
        if (next_line) {
            out += '\n';
            out += kNextLineIndent;
        } else {
            out.append(longest + kTabWidth - row.own_width, ' ');
        }
        out += row.text;
    }
    return out;
}

std::string commands_section(const CommandDecl& command) {
    std::vector<Row> rows;
    for (const CommandDecl& sub : command.subcommands) {
        std::string name(sub.name);
        if (sub.short_flag != 0) name += std::string(", -") + sub.short_flag;
        rows.push_back({name, display_width(name), std::string(sub.about)});
    }
    return "Commands:\n" + render_rows(rows, 0);
}

std::string arguments_section(const CommandDecl& command) {
    std::vector<Row> rows;
    for (const ArgDecl& arg : command.args) {
        if (!arg.positional()) continue;
        std::string shown = arg_display(arg);
        rows.push_back({shown, display_width(shown), help_with_note(arg.help, possible_values_note(arg))});
    }
    return rows.empty() ? std::string() : "Arguments:\n" + render_rows(rows, 0);
}

std::string options_section(const CommandDecl& command) {
    std::vector<const ArgDecl*> options;
    for (const ArgDecl& arg : command.args) {
        if (!arg.positional()) options.push_back(&arg);
    }
    if (command.has_help_flag()) options.push_back(&help_arg());
    std::vector<Row> rows;
    for (const ArgDecl* arg : options) {
        // The short name, or its room, stands before the column the width counts.
        std::string shown = arg_display(*arg);
        std::string lead = arg->short_name != 0 ? std::string("-") + arg->short_name + ", " : std::string("    ");
        rows.push_back({lead + shown, display_width(shown), help_with_note(arg->help, possible_values_note(*arg))});
    }
    return rows.empty() ? std::string() : "Options:\n" + render_rows(rows, 4);
}

// "orvex2-devctl-module-tool sync {path|-p}"
std::string usage_name(const CommandPath& path) {
    std::string out;
    for (const CommandDecl* command : path) {
        if (!out.empty()) out += ' ';
        if (command->short_flag != 0 && command != path.front()) {
            out += "{" + std::string(command->name) + "|-" + command->short_flag + "}";
        } else {
            out += command->name;
        }
    }
    return out;
}

}  // namespace

std::string arg_display(const ArgDecl& arg) {
    if (arg.positional()) {
        std::string name = std::string(arg.value_name);
        std::string out = arg.required ? "<" + name + ">" : "[" + name + "]";
        return arg.repeatable ? out + "..." : out;
    }
    std::string out = "--" + std::string(arg.long_name);
    if (arg.takes_value) out += " <" + std::string(arg.value_name) + ">";
    return out;
}

std::string help_usage(const CommandPath& path) {
    const CommandDecl& command = *path.back();
    std::string out = usage_name(path);
    if (needs_options_tag(command)) out += " [OPTIONS]";
    for (const std::string& part : required_parts(command, {}, false, true)) out += " " + part;
    if (!command.subcommands.empty()) out += command.subcommand_required ? " <COMMAND>" : " [COMMAND]";
    return out;
}

std::string error_usage(const CommandPath& path, const std::vector<const ArgDecl*>& given) {
    if (given.empty()) return help_usage(path);
    const CommandDecl& command = *path.back();
    std::string out = usage_name(path);
    for (const std::string& part : required_parts(command, given, false, false)) out += " " + part;
    if (command.subcommand_required) out += " <COMMAND>";
    return out;
}

std::vector<std::string> missing_required(const CommandDecl& command, const std::vector<const ArgDecl*>& given) {
    return required_parts(command, given, true, false);
}

std::string help_page(const CommandPath& path) {
    const CommandDecl& command = *path.back();
    std::string out;
    if (!command.about.empty()) {
        out += command.about;
        out += "\n\n";
    }
    out += "Usage: " + help_usage(path) + "\n";
    std::vector<std::string> sections;
    if (!command.subcommands.empty()) sections.push_back(commands_section(command));
    if (auto args = arguments_section(command); !args.empty()) sections.push_back(args);
    if (auto options = options_section(command); !options.empty()) sections.push_back(options);
    for (const std::string& section : sections) out += "\n" + section + "\n";
    return out;
}

std::string possible_values_note(const ArgDecl& arg) {
    if (arg.possible_values.empty()) return {};
    std::string out = "[possible values: ";
    for (size_t i = 0; i < arg.possible_values.size(); ++i) {
        if (i > 0) out += ", ";
        out += arg.possible_values[i];
    }
    return out + "]";
}

}  // namespace devctl::cli
