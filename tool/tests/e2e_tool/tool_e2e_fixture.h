#pragma once
// Shared set-up of the entry-point and configuration end-to-end tests.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "sandbox.h"

namespace devctl::test {

inline const std::string kConfig = "/etc/orvex-scene/config.json";
inline const std::string kEnoent = "No such file or directory (os error 2)";

// Syslog priorities of the LOG_SYSLOG facility.
constexpr int kInfo = 46;
constexpr int kError = 43;

struct ToolRun {
    ToolResult result;
    std::vector<LogLine> log;
};

class ToolE2eTest : public ::testing::Test {
protected:
    void SetUp() override { reset_sandbox(); }

    // Runs the tool with a log socket in place and collects what it logged,
    // waiting briefly for one line more than expected so extras show up.
    static ToolRun run_logged(const std::vector<std::string>& args, RunAs who = RunAs::Root, size_t expected_lines = 0) {
        RunOptions options;
        options.who = who;
        return run_logged(args, options, expected_lines);
    }
    static ToolRun run_logged(const std::vector<std::string>& args, const RunOptions& options, size_t expected_lines) {
        LogSink sink;
        ToolRun run{run_tool(args, options), {}};
        for (const auto& raw : sink.messages(expected_lines + 1, std::chrono::milliseconds(300))) {
            auto line = parse_log_line(raw);
            EXPECT_TRUE(line) << raw;
            if (line) run.log.push_back(*line);
        }
        return run;
    }
};

}  // namespace devctl::test
