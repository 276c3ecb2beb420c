#pragma once
// Help pages and usage lines of the command tree.
#include <string>
#include <vector>

#include "cli/command_tree.h"

namespace devctl::cli {

// The commands from the root down to the one meant, root first.
using CommandPath = std::vector<const CommandDecl*>;

// How an argument is named in usage lines and messages:
// "--base-on <BASE_ON>", "--initialized", "<FILE_PATH>", "[COMMAND]...".
std::string arg_display(const ArgDecl& arg);

// The usage line of the help page: options tag, required arguments,
// optional positionals and the subcommand placeholder.
std::string help_usage(const CommandPath& path);

// The usage line of an error: the help usage when nothing was given yet,
// else the required arguments and those given, without the options tag.
std::string error_usage(const CommandPath& path, const std::vector<const ArgDecl*>& given);

// The required arguments still missing, as the missing-argument error lists them.
std::vector<std::string> missing_required(const CommandDecl& command,
                                          const std::vector<const ArgDecl*>& given);

// "[possible values: true, false]", or empty when any text is allowed.
std::string possible_values_note(const ArgDecl& arg);

// The whole help page, ending with a line feed.
std::string help_page(const CommandPath& path);

}  // namespace devctl::cli
