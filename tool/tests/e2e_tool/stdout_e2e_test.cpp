// Output that cannot be written to standard output fails the command, and a
// closed standard output is no reason to fail when nothing is printed.
#include <string>
#include <vector>

#include "tool_e2e_fixture.h"

namespace devctl::test {
namespace {

const std::string kWriteFailed = "failed to write to standard output";
const std::string kEnospc = "No space left on device (os error 28)";
const std::string kEbadf = "Bad file descriptor (os error 9)";

TEST_F(ToolE2eTest, FailedStandardOutputFailsTheCommand) {
    struct Case {
        std::vector<std::string> args;
        StdoutTo stdout_to;
        int status;
        std::string cause;  // empty: success, nothing on standard error
        bool logged;
    };
    const std::string scene = "/etc/orvex-scene/scene/sm_devctl.json";
    const std::vector<Case> cases = {
        {{"config", "get", "--initialized"}, StdoutTo::DevFull, 1, kEnospc, true},
        {{"sync", "path", "/not/a/scene.json"}, StdoutTo::DevFull, 1, kEnospc, true},
        {{"--help"}, StdoutTo::DevFull, 1, kEnospc, false},
        {{"config", "get", "--initialized"}, StdoutTo::Closed, 1, kEbadf, true},
        // Prints nothing, so a closed standard output loses nothing.
        {{"merge", "-b", scene, "-o", scene}, StdoutTo::Closed, 0, "", true},
    };
    for (const auto& c : cases) {
        const std::string what = testing::PrintToString(c.args);
        write_test_file(kConfig, R"({"initialized": true})");
        RunOptions options;
        options.stdout_to = c.stdout_to;
        const ToolRun run = run_logged(c.args, options, c.logged ? 1 : 0);
        EXPECT_EQ(run.result.status, c.status) << what;
        if (c.cause.empty()) {
            EXPECT_EQ(run.result.err, "") << what;
            continue;
        }
        EXPECT_EQ(run.result.err, kWriteFailed + ": " + c.cause + "\n") << what;
        if (!c.logged) {
            EXPECT_TRUE(run.log.empty()) << what;
            continue;
        }
        ASSERT_EQ(run.log.size(), 1u) << what;
        EXPECT_EQ(run.log[0].priority, kError) << what;
        EXPECT_EQ(run.log[0].text, "failed to run command: " + kWriteFailed + "\n\nCaused by:\n    " + c.cause) << what;
    }
}

}  // namespace
}  // namespace devctl::test
