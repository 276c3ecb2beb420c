// The entry point: parsing first, then the root check, then one command, and
// how a failure is reported.
#include <string>
#include <vector>

#include "tool_e2e_fixture.h"

namespace devctl::test {
namespace {

const std::string kRootHelp =
    "Usage: orvex2-devctl-module-tool [COMMAND]\n"
    "\n"
    "Commands:\n"
    "  config  获取或更改设置项\n"
    "  merge   合并json策略\n"
    "  sync    同步策略\n"
    "  help    Print this message or the help of the given subcommand(s)\n"
    "\n"
    "Options:\n"
    "  -h, --help  Print help\n";

const std::string kSyncHelp =
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
    "  -h, --help  Print help\n";

TEST_F(ToolE2eTest, NoArgumentsDoesNothingForAnyUser) {
    for (RunAs who : {RunAs::Root, RunAs::Nobody}) {
        const ToolRun run = run_logged({}, who);
        EXPECT_EQ(run.result.status, 0);
        EXPECT_EQ(run.result.out, "");
        EXPECT_EQ(run.result.err, "");
        EXPECT_TRUE(run.log.empty());
    }
}

// Help and usage errors come before the root check, so every user gets them.
TEST_F(ToolE2eTest, HelpAndUsageErrorsForAnyUser) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"--help"}, 0, kRootHelp, ""},
        {{"help"}, 0, kRootHelp, ""},
        {{"sync", "-h"}, 0, kSyncHelp, ""},
        {{"sync"}, 2, "", kSyncHelp},
        {{"--version"}, 2, "",
         "error: unexpected argument '--version' found\n\nUsage: orvex2-devctl-module-tool [COMMAND]\n\n"
         "For more information, try '--help'.\n"},
        {{"config", "set", "--initialized", "yes"}, 2, "",
         "error: invalid value 'yes' for '--initialized <INITIALIZED>'\n  [possible values: true, false]\n\n"
         "For more information, try '--help'.\n"},
        {{"sync", "path", "/etc/\xff.json"}, 2, "",
         "error: invalid UTF-8 was detected in one or more arguments\n\n"
         "Usage: orvex2-devctl-module-tool sync {path|-p} <FILE_PATH>\n\nFor more information, try '--help'.\n"},
    };
    for (RunAs who : {RunAs::Root, RunAs::Nobody}) {
        for (const auto& c : cases) {
            const ToolRun run = run_logged(c.args, who);
            const std::string what = testing::PrintToString(c.args);
            EXPECT_EQ(run.result.status, c.status) << what;
            EXPECT_EQ(run.result.out, c.out) << what;
            EXPECT_EQ(run.result.err, c.err) << what;
            EXPECT_TRUE(run.log.empty()) << what;
        }
    }
}

// A valid command from another user ends at once: no output, no log, no file touched.
TEST_F(ToolE2eTest, NonRootValidCommandsAreSilentlyIgnored) {
    write_test_file(kConfig, R"({"initialized": true})", 0666);
    const std::vector<std::vector<std::string>> commands = {
        {"config", "get", "--initialized"},
        {"config", "set", "--initialized", "false"},
        {"sync", "all"},
        {"merge", "-b", "/etc/orvex-scene/scene/sm_devctl.json", "-a", kConfig, "-o",
         "/etc/orvex-scene/scene/sm_devctl.json"},
    };
    for (const auto& args : commands) {
        const ToolRun run = run_logged(args, RunAs::Nobody);
        const std::string what = testing::PrintToString(args);
        EXPECT_EQ(run.result.status, 0) << what;
        EXPECT_EQ(run.result.out, "") << what;
        EXPECT_EQ(run.result.err, "") << what;
        EXPECT_TRUE(run.log.empty()) << what;
    }
    EXPECT_EQ(read_test_file(kConfig), R"({"initialized": true})");
    EXPECT_FALSE(path_exists("/etc/orvex-scene/scene"));
}

// The failure report: chain form on standard error, report form in the log.
TEST_F(ToolE2eTest, MissingConfigFailsWithOneCause) {
    const ToolRun run = run_logged({"config", "get", "--box-enabled"}, RunAs::Root, 1);
    EXPECT_EQ(run.result.status, 1);
    EXPECT_EQ(run.result.out, "");
    EXPECT_EQ(run.result.err, "failed to load config from file: " + kEnoent + "\n");
    ASSERT_EQ(run.log.size(), 1u);
    EXPECT_EQ(run.log[0].priority, kError);
    EXPECT_EQ(run.log[0].text, "failed to run command: failed to load config from file\n\nCaused by:\n    " + kEnoent);
    EXPECT_FALSE(path_exists(kConfig));
}

// Without a log socket the logger says so on standard error; the failure is
// still printed and the status is still 1.
TEST_F(ToolE2eTest, FailureWithoutLogSocket) {
    const ToolResult result = run_tool({"config", "set", "--initialized", "true"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    ASSERT_TRUE(result.err.starts_with("err: ")) << result.err;
    EXPECT_TRUE(result.err.ends_with("\nfailed to load config from file: " + kEnoent + "\n")) << result.err;
}

TEST_F(ToolE2eTest, MergeLineIsLoggedEvenWhenTheGuardSkips) {
    const std::string scene = "/etc/orvex-scene/scene/sm_devctl.json";
    const ToolRun without_addons = run_logged({"merge", "-b", scene, "-o", scene}, RunAs::Root, 1);
    EXPECT_EQ(without_addons.result.status, 0);
    EXPECT_EQ(without_addons.result.err, "");
    ASSERT_EQ(without_addons.log.size(), 1u);
    EXPECT_EQ(without_addons.log[0].priority, kInfo);
    EXPECT_EQ(without_addons.log[0].text, "running merge command: " + scene + " + [] => " + scene);

    const ToolRun combining = run_logged({"merge", "-b", "b", "-a", "e\xcc\x81\xc2\xa0", "-o", scene + "/"}, RunAs::Root, 1);
    EXPECT_EQ(combining.result.status, 0);
    ASSERT_EQ(combining.log.size(), 1u);
    EXPECT_EQ(combining.log[0].text, "running merge command: b + [\"e\\u{301}\\u{a0}\"] => " + scene + "/");
    EXPECT_FALSE(path_exists(scene));
}

}  // namespace
}  // namespace devctl::test
