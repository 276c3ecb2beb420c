// What each command line parses into, or that it ends the process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli.h"

namespace devctl {
namespace {

using Args = std::vector<std::string>;

struct Accepted {
    Args args;
    Cli expected;
};

Cli config_get(bool initialized, bool sync_orvex_utils, bool box_enabled) {
    return {ConfigArgs{ConfigGetArgs{initialized, sync_orvex_utils, box_enabled}}};
}

Cli config_set(std::optional<bool> initialized, std::optional<bool> sync_orvex_utils,
               std::optional<bool> box_enabled) {
    return {ConfigArgs{ConfigSetArgs{initialized, sync_orvex_utils, box_enabled}}};
}

Cli merge(std::string base_on, std::vector<std::string> to_add, std::string output) {
    return {MergeArgs{std::move(base_on), std::move(to_add), std::move(output)}};
}

Cli sync_path(std::string path) { return {SyncArgs{PathArgs{std::move(path)}}}; }

const Cli kSyncAll{SyncArgs{SyncAll{}}};

TEST(ParseCli, AcceptedCommandLines) {
    const std::vector<Accepted> cases = {
        {{}, Cli{}},
        {{"sync", "all"}, kSyncAll},
        {{"sync", "-a"}, kSyncAll},
        {{"sync", "path", "/etc/x.json"}, sync_path("/etc/x.json")},
        {{"sync", "-p", "rel/x.json"}, sync_path("rel/x.json")},
        {{"sync", "path", "--", "-x"}, sync_path("-x")},
        {{"sync", "path", ""}, sync_path("")},
        {{"sync", "path", "sync"}, sync_path("sync")},
        {{"config", "get", "--initialized"}, config_get(true, false, false)},
        {{"config", "get", "--sync-orvex-utils"}, config_get(false, true, false)},
        {{"config", "get", "--box-enabled"}, config_get(false, false, true)},
        {{"config", "set"}, config_set(std::nullopt, std::nullopt, std::nullopt)},
        {{"config", "set", "--initialized", "true", "--box-enabled", "false"}, config_set(true, std::nullopt, false)},
        {{"config", "set", "--sync-orvex-utils=false"}, config_set(std::nullopt, false, std::nullopt)},
        {{"merge", "-b", "x", "-o", "y"}, merge("x", {}, "y")},
        {{"merge", "-a", "x", "-b", "b", "-a", "y", "-o", "o"}, merge("b", {"x", "y"}, "o")},
        {{"merge", "--add=x", "-ay", "--add", "z", "--base-on=b", "--output", "o"}, merge("b", {"x", "y", "z"}, "o")},
        {{"merge", "-b=b", "-oout"}, merge("b", {}, "out")},
        {{"merge", "--base-on=", "-o", ""}, merge("", {}, "")},
        {{"merge", "-b=", "-a=", "-o", "o"}, merge("", {""}, "o")},
        {{"merge", "-b", "-", "-o", "sync"}, merge("-", {}, "sync")},
        {{"merge", "--base-on=--x", "-o", "a=b", "-a", "-"}, merge("--x", {"-"}, "a=b")},
        {{"merge", "-b", "基于", "-a", "a\u0301", "-o", "o"}, merge("基于", {"a\u0301"}, "o")},
    };
    for (const auto& c : cases) {
        auto parsed = parse_cli_args(c.args);
        ASSERT_TRUE(std::holds_alternative<Cli>(parsed))
            << testing::PrintToString(c.args) << "\n" << std::get<CliExit>(parsed).text;
        EXPECT_TRUE(std::get<Cli>(parsed) == c.expected) << testing::PrintToString(c.args);
    }
}

struct Ended {
    Args args;
    int status;
    std::string first_line;  // of the printed text
};

TEST(ParseCli, HelpAndUsageErrorsEndTheProcess) {
    const std::vector<Ended> cases = {
        // Help wins over missing required arguments, and `help` walks the tree.
        {{"--help"}, 0, "Usage: orvex2-devctl-module-tool [COMMAND]"},
        {{"-h"}, 0, "Usage: orvex2-devctl-module-tool [COMMAND]"},
        {{"help"}, 0, "Usage: orvex2-devctl-module-tool [COMMAND]"},
        {{"merge", "--help"}, 0, "合并json策略"},
        {{"merge", "-b", "x", "-h"}, 0, "合并json策略"},
        {{"help", "sync", "path"}, 0, "同步指定策略"},
        {{"config", "help", "set"}, 0, "更改设置"},
        {{"sync", "help"}, 0, "同步策略"},
        {{"sync", "-p", "-h"}, 0, "同步指定策略"},
        {{"config", "get", "--initialized", "--help"}, 0, "获取设置"},
        // A subcommand group alone prints its own help as an error.
        {{"config"}, 2, "获取或更改设置项"},
        {{"sync"}, 2, "同步策略"},
        {{"sync", "--"}, 2, "同步策略"},
        {{"--version"}, 2, "error: unexpected argument '--version' found"},
        {{"-V"}, 2, "error: unexpected argument '-V' found"},
        {{"sync", "--version"}, 2, "error: unexpected argument '--version' found"},
        {{"bogus"}, 2, "error: unrecognized subcommand 'bogus'"},
        {{"sync", "bogus"}, 2, "error: unrecognized subcommand 'bogus'"},
        {{"help", "nope"}, 2, "error: unrecognized subcommand 'nope'"},
        {{"config", "get"}, 2, "error: the following required arguments were not provided:"},
        {{"config", "get", "--initialized", "--box-enabled"}, 2,
         "error: the argument '--initialized' cannot be used with '--box-enabled'"},
        {{"config", "get", "--box-enabled", "--box-enabled"}, 2,
         "error: the argument '--box-enabled' cannot be used multiple times"},
        {{"config", "get", "--initialized=true"}, 2,
         "error: unexpected value 'true' for '--initialized' found; no more were expected"},
        {{"config", "set", "--initialized", "yes"}, 2, "error: invalid value 'yes' for '--initialized <INITIALIZED>'"},
        {{"config", "set", "--initialized", "TRUE"}, 2, "error: invalid value 'TRUE' for '--initialized <INITIALIZED>'"},
        {{"config", "set", "--initialized", "1"}, 2, "error: invalid value '1' for '--initialized <INITIALIZED>'"},
        {{"config", "set", "--box-enabled"}, 2,
         "error: a value is required for '--box-enabled <BOX_ENABLED>' but none was supplied"},
        {{"config", "set", "--box-enabled", "true", "--box-enabled", "true"}, 2,
         "error: the argument '--box-enabled <BOX_ENABLED>' cannot be used multiple times"},
        {{"config", "set", "-b", "x"}, 2, "error: unexpected argument '-b' found"},
        {{"merge", "--initialized"}, 2, "error: unexpected argument '--initialized' found"},
        {{"merge", "-b", "x"}, 2, "error: the following required arguments were not provided:"},
        {{"merge", "-o", "x", "-a", "y"}, 2, "error: the following required arguments were not provided:"},
        {{"merge", "-b", "x", "-b", "y", "-o", "z"}, 2,
         "error: the argument '--base-on <BASE_ON>' cannot be used multiple times"},
        {{"merge", "-b", "x", "-o", "y", "-o", "y"}, 2,
         "error: the argument '--output <OUTPUT>' cannot be used multiple times"},
        {{"merge", "-b", "--output", "y"}, 2, "error: a value is required for '--base-on <BASE_ON>' but none was supplied"},
        {{"merge", "-b", "x", "-o", "y", "extra"}, 2, "error: unexpected argument 'extra' found"},
        {{"merge", "--bogus", "--help"}, 2, "error: unexpected argument '--bogus' found"},
        {{"sync", "path"}, 2, "error: the following required arguments were not provided:"},
        {{"sync", "path", "a", "b"}, 2, "error: unexpected argument 'b' found"},
        {{"sync", "path", "-x"}, 2, "error: unexpected argument '-x' found"},
        {{"sync", "all", "x"}, 2, "error: unexpected argument 'x' found"},
        // An unknown short flag is named by its whole character, not its first byte.
        {{"sync", "-aé"}, 2, "error: unexpected argument '-é' found"},
        {{"merge", "-😀x"}, 2, "error: unexpected argument '-😀' found"},
        {{"sync", "path", "\xff"}, 2, "error: invalid UTF-8 was detected in one or more arguments"},
        {{"merge", "-b", "a\xc3(", "-o", "o"}, 2, "error: invalid UTF-8 was detected in one or more arguments"},
        {{"merge", "-b", "x", "-a", "\xed\xa0\x80", "-o", "o"}, 2,
         "error: invalid UTF-8 was detected in one or more arguments"},
    };
    for (const auto& c : cases) {
        auto parsed = parse_cli_args(c.args);
        ASSERT_TRUE(std::holds_alternative<CliExit>(parsed)) << testing::PrintToString(c.args);
        const auto& exit = std::get<CliExit>(parsed);
        EXPECT_EQ(exit.status, c.status) << testing::PrintToString(c.args);
        EXPECT_EQ(exit.text.substr(0, exit.text.find('\n')), c.first_line) << testing::PrintToString(c.args);
        EXPECT_TRUE(exit.text.ends_with("\n")) << testing::PrintToString(c.args);
    }
}

TEST(ParseCli, GroupAloneShowsTheSameHelpAsItsHelpFlag) {
    for (const char* group : {"config", "sync"}) {
        auto alone = std::get<CliExit>(parse_cli_args({group}));
        auto help = std::get<CliExit>(parse_cli_args({group, "--help"}));
        EXPECT_EQ(alone.status, 2);
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(alone.text, help.text);
    }
}

TEST(ParseCli, HelpSubcommandAndHelpFlagShowTheSamePage) {
    const std::vector<std::pair<Args, Args>> pairs = {
        {{"help"}, {"--help"}},
        {{"help", "merge"}, {"merge", "-h"}},
        {{"help", "config", "get"}, {"config", "get", "--help"}},
        {{"sync", "help", "all"}, {"sync", "-a", "--help"}},
    };
    for (const auto& [by_command, by_flag] : pairs) {
        EXPECT_EQ(std::get<CliExit>(parse_cli_args(by_command)).text, std::get<CliExit>(parse_cli_args(by_flag)).text)
            << testing::PrintToString(by_command);
    }
}

}  // namespace
}  // namespace devctl
