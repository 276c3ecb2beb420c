// The exact bytes of help pages and usage errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli.h"

namespace devctl {
namespace {

std::string text_of(std::vector<std::string> args) { return std::get<CliExit>(parse_cli_args(args)).text; }

TEST(UsageText, HelpPages) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> pages = {
        {{"--help"},
         "Usage: orvex2-devctl-module-tool [COMMAND]\n"
         "\n"
         "Commands:\n"
         "  config  获取或更改设置项\n"
         "  merge   合并json策略\n"
         "  sync    同步策略\n"
         "  help    Print this message or the help of the given subcommand(s)\n"
         "\n"
         "Options:\n"
         "  -h, --help  Print help\n"},
        {{"config", "get", "-h"},
         "获取设置\n"
         "\n"
         "Usage: orvex2-devctl-module-tool config get <--initialized|--sync-orvex-utils|--box-enabled>\n"
         "\n"
         "Options:\n"
         "      --initialized       设置策略是否初始化过\n"
         "      --sync-orvex-utils  是否需要在下次开机时同步orvex-utils的默认策略\n"
         "      --box-enabled       记录box状态是否已开启\n"
         "  -h, --help              Print help\n"},
        // The widest help text pushes every help text of the section onto its own line.
        {{"config", "set", "-h"},
         "更改设置\n"
         "\n"
         "Usage: orvex2-devctl-module-tool config set [OPTIONS]\n"
         "\n"
         "Options:\n"
         "      --initialized <INITIALIZED>\n"
         "          设置策略是否初始化过 [possible values: true, false]\n"
         "      --sync-orvex-utils <SYNC_ORVEX_UTILS>\n"
         "          是否需要在下次开机时同步orvex-utils的默认策略 [possible values: true, false]\n"
         "      --box-enabled <BOX_ENABLED>\n"
         "          记录box状态是否已开启 [possible values: true, false]\n"
         "  -h, --help\n"
         "          Print help\n"},
        {{"merge", "-h"},
         "合并json策略\n"
         "\n"
         "Usage: orvex2-devctl-module-tool merge [OPTIONS] --base-on <BASE_ON> --output <OUTPUT>\n"
         "\n"
         "Options:\n"
         "  -b, --base-on <BASE_ON>  基于哪个策略\n"
         "  -a, --add <TO_ADD>       需要叠加的策略\n"
         "  -o, --output <OUTPUT>    合并后保存到哪里\n"
         "  -h, --help               Print help\n"},
        {{"sync", "--help"},
         "同步策略\n"
         "\n"
         "Usage: orvex2-devctl-module-tool sync <COMMAND>\n"
         "\n"
         "Commands:\n"
         "  all, -a   同步所有策略\n"
         "  path, -p  同步指定策略\n"
         "  help      Print this message or the help of the given subcommand(s)\n"
         "\n"
         "Options:\n"
         "  -h, --help  Print help\n"},
        {{"sync", "path", "--help"},
         "同步指定策略\n"
         "\n"
         "Usage: orvex2-devctl-module-tool sync {path|-p} <FILE_PATH>\n"
         "\n"
         "Arguments:\n"
         "  <FILE_PATH>  策略文件路径\n"
         "\n"
         "Options:\n"
         "  -h, --help  Print help\n"},
        {{"config", "help", "help"},
         "Print this message or the help of the given subcommand(s)\n"
         "\n"
         "Usage: orvex2-devctl-module-tool config help [COMMAND]...\n"
         "\n"
         "Arguments:\n"
         "  [COMMAND]...  Print help for the subcommand(s)\n"},
    };
    for (const auto& [args, page] : pages) EXPECT_EQ(text_of(args), page) << testing::PrintToString(args);
}

TEST(UsageText, Errors) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> errors = {
        {{"--version"},
         "error: unexpected argument '--version' found\n"
         "\n"
         "Usage: orvex2-devctl-module-tool [COMMAND]\n"
         "\n"
         "For more information, try '--help'.\n"},
        {{"synk"},
         "error: unrecognized subcommand 'synk'\n"
         "\n"
         "  tip: a similar subcommand exists: 'sync'\n"
         "\n"
         "Usage: orvex2-devctl-module-tool [COMMAND]\n"
         "\n"
         "For more information, try '--help'.\n"},
        {{"config", "get"},
         "error: the following required arguments were not provided:\n"
         "  <--initialized|--sync-orvex-utils|--box-enabled>\n"
         "\n"
         "Usage: orvex2-devctl-module-tool config get <--initialized|--sync-orvex-utils|--box-enabled>\n"
         "\n"
         "For more information, try '--help'.\n"},
        {{"config", "get", "--sync-orvex-utils", "--initialized", "--box-enabled"},
         "error: the argument '--sync-orvex-utils' cannot be used with:\n"
         "  --initialized\n"
         "  --box-enabled\n"
         "\n"
         "Usage: orvex2-devctl-module-tool config get <--initialized|--sync-orvex-utils|--box-enabled>\n"
         "\n"
         "For more information, try '--help'.\n"},
        {{"config", "set", "--initialized", "True"},
         "error: invalid value 'True' for '--initialized <INITIALIZED>'\n"
         "  [possible values: true, false]\n"
         "\n"
         "  tip: a similar value exists: 'true'\n"
         "\n"
         "For more information, try '--help'.\n"},
        {{"config", "set", "--initialized", "yes"},
         "error: invalid value 'yes' for '--initialized <INITIALIZED>'\n"
         "  [possible values: true, false]\n"
         "\n"
         "For more information, try '--help'.\n"},
        {{"merge"},
         "error: the following required arguments were not provided:\n"
         "  --base-on <BASE_ON>\n"
         "  --output <OUTPUT>\n"
         "\n"
         "Usage: orvex2-devctl-module-tool merge [OPTIONS] --base-on <BASE_ON> --output <OUTPUT>\n"
         "\n"
         "For more information, try '--help'.\n"},
        {{"merge", "-a", "x", "-o", "y"},
         "error: the following required arguments were not provided:\n"
         "  --base-on <BASE_ON>\n"
         "\n"
         "Usage: orvex2-devctl-module-tool merge --base-on <BASE_ON> --output <OUTPUT> --add <TO_ADD>\n"
         "\n"
         "For more information, try '--help'.\n"},
        {{"merge", "--outptu", "x"},
         "error: unexpected argument '--outptu' found\n"
         "\n"
         "  tip: a similar argument exists: '--output'\n"
         "\n"
         "Usage: orvex2-devctl-module-tool merge --base-on <BASE_ON> --output <OUTPUT>\n"
         "\n"
         "For more information, try '--help'.\n"},
        {{"sync", "-p", "-x"},
         "error: unexpected argument '-x' found\n"
         "\n"
         "  tip: to pass '-x' as a value, use '-- -x'\n"
         "\n"
         "Usage: orvex2-devctl-module-tool sync {path|-p} <FILE_PATH>\n"
         "\n"
         "For more information, try '--help'.\n"},
        {{"sync", "path"},
         "error: the following required arguments were not provided:\n"
         "  <FILE_PATH>\n"
         "\n"
         "Usage: orvex2-devctl-module-tool sync {path|-p} <FILE_PATH>\n"
         "\n"
         "For more information, try '--help'.\n"},
        {{"help", "config", "nope"},
         "error: unrecognized subcommand 'nope'\n"
         "\n"
         "Usage: orvex2-devctl-module-tool config <COMMAND>\n"
         "\n"
         "For more information, try '--help'.\n"},
        {{"merge", "-b", "\xff"},
         "error: invalid UTF-8 was detected in one or more arguments\n"
         "\n"
         "Usage: orvex2-devctl-module-tool merge [OPTIONS] --base-on <BASE_ON> --output <OUTPUT>\n"
         "\n"
         "For more information, try '--help'.\n"},
    };
    for (const auto& [args, text] : errors) EXPECT_EQ(text_of(args), text) << testing::PrintToString(args);
}

}  // namespace
}  // namespace devctl
