#pragma once
// Shared set-up of the merge end-to-end tests: scene paths, compact policy
// documents and a run of `merge` with its log.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "sandbox.h"

namespace devctl::test {

inline const std::string kSceneDir = "/etc/orvex-scene/scene";
inline const std::string kSmScene = "/etc/orvex-scene/scene/sm_devctl.json";
inline const std::string kVopScene = "/etc/orvex-scene/scene/vop_devctl.json";
inline const std::string kAddonDir = "/etc/orvex-scene/addons/";

// Syslog priorities of the LOG_SYSLOG facility.
constexpr int kInfo = 46;
constexpr int kWarning = 44;
constexpr int kError = 43;

// One module as JSON text; variables and sub-modules as JSON text too.
inline std::string module_json(const std::string& type, const std::string& variables = "",
                               const std::string& modules = "") {
    return R"({"type": ")" + type + R"(", "enabled": true, "interactive": "notice", "modules": {)" + modules +
           R"(}, "rules": [], "variables": [)" + variables + R"(], "addon": ""})";
}

inline std::string policy_json(const std::string& scene, const std::string& modules, int priority = 1) {
    return R"({"scene": ")" + scene + R"(", "enabled": true, "addon": "", "priority": )" + std::to_string(priority) +
           R"(, "audit": false, "interactive": "notice", "third_party": false, "version": 1, "modules": {)" +
           modules + "}}";
}

inline std::string uid_var(const std::string& name, const std::string& uids) {
    return R"({"name": ")" + name + R"(", "value": {"type": "uid", "value": [)" + uids + "]}}";
}

struct MergeRun {
    ToolResult result;
    std::vector<LogLine> log;
};

class MergeE2eTest : public ::testing::Test {
protected:
    // The scene directory exists, empty, as on an installed system.
    void SetUp() override {
        reset_sandbox();
        std::filesystem::create_directories(kSceneDir);
    }

    static std::vector<std::string> merge_args(const std::string& base, const std::vector<std::string>& adds,
                                               const std::string& output) {
        std::vector<std::string> args = {"merge", "-b", base};
        for (const auto& add : adds) {
            args.push_back("-a");
            args.push_back(add);
        }
        args.push_back("-o");
        args.push_back(output);
        return args;
    }

    // Runs merge and collects exactly `log_count` log lines (waiting briefly
    // for one more, so that an extra line shows up as a failure).
    static MergeRun run_merge(const std::string& base, const std::vector<std::string>& adds,
                              const std::string& output, size_t log_count) {
        LogSink sink;
        MergeRun run{run_tool(merge_args(base, adds, output)), {}};
        for (const auto& raw : sink.messages(log_count + 1, std::chrono::milliseconds(300))) {
            auto line = parse_log_line(raw);
            EXPECT_TRUE(line) << raw;
            if (line) run.log.push_back(*line);
        }
        EXPECT_EQ(run.log.size(), log_count);
        return run;
    }

    static std::string merge_line(const std::string& base, const std::string& list, const std::string& output) {
        return "running merge command: " + base + " + " + list + " => " + output;
    }
};

}  // namespace devctl::test
