// The tool's failure report reaching the log daemon, or standard error when
// there is none. A missing config.json is the simplest failure to provoke.
#include <gtest/gtest.h>
#include <unistd.h>

#include "sandbox.h"

namespace devctl::test {
namespace {

const std::string kChain = "failed to load config from file: No such file or directory (os error 2)\n";
const std::string kReport =
    "failed to run command: failed to load config from file\n\nCaused by:\n    No such file or directory (os error 2)";

class ToolLogging : public testing::Test {
protected:
    void SetUp() override { reset_sandbox(); }
    static ToolResult fail_config_get() { return run_tool({"config", "get", "--initialized"}); }
};

TEST_F(ToolLogging, FailureReportArrivesAsOneErrorLineOfTheToolsProcess) {
    for (const char* path : {"/dev/log", "/var/run/syslog", "/var/run/log"}) {
        SCOPED_TRACE(path);
        reset_sandbox();
        LogSink sink(path);
        const ToolResult r = fail_config_get();
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, kChain);
        const auto messages = sink.messages(1);
        ASSERT_EQ(messages.size(), 1u);
        const auto line = parse_log_line(messages[0]);
        ASSERT_TRUE(line) << messages[0];
        EXPECT_EQ(line->priority, 43);
        EXPECT_EQ(line->tag, "scene-devctl-plugin");
        EXPECT_GT(line->pid, 0);
        EXPECT_NE(line->pid, ::getpid());
        EXPECT_EQ(line->text, kReport);
    }
}

TEST_F(ToolLogging, StreamEndpointGetsTheLineAndOneNul) {
    LogSink sink("/dev/log", LogSink::Kind::Stream);
    const ToolResult r = fail_config_get();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kChain);
    const auto messages = sink.messages(1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].ends_with("]: " + kReport));
    EXPECT_EQ(sink.stream_bytes(), messages[0] + '\0');
}

TEST_F(ToolLogging, WithoutLogDaemonTheReportGoesToStandardErrorBeforeTheChain) {
    const ToolResult r = fail_config_get();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kNoLogSocketReport + kChain);
}

}  // namespace
}  // namespace devctl::test
