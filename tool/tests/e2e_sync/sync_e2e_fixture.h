#pragma once
// Shared set-up of the sync end-to-end tests: the fixed paths, the platform
// stand-ins and what they recorded, and a run of `sync` with its log.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "sandbox.h"

namespace devctl::test {

inline const std::string kVopScene = "/etc/orvex-scene/scene/vop_devctl.json";
inline const std::string kSmScene = "/etc/orvex-scene/scene/sm_devctl.json";
inline const std::string kPolicyDir = "/etc/orvex-scene/policy";
inline const std::string kVopPolicy = kPolicyDir + "/vop_devctl.json.policy";
inline const std::string kSmPolicy = kPolicyDir + "/sm_devctl.json.policy";
inline const std::string kRegistered = "/etc/orvex-scene/.registered.json";
inline const std::string kModuleStatus = "/sys/kernel/security/quel/status";
inline const std::string kProductInfo = "/etc/.productinfo";
inline const std::string kDesktopLib = "/usr/lib/x86_64-linux-gnu/liborvex_scene_pluginmgr.so.0";
inline const std::string kServerLib = "/usr/lib64/liborvex_scene_pluginmgr.so.0";
// On the sandbox's /run tmpfs, so the stand-ins' record never reaches the host.
inline const std::string kCallsFile = "/run/devctl-standin-calls";

// Syslog priorities of the LOG_SYSLOG facility.
constexpr int kInfo = 46;
constexpr int kError = 43;

// What the stand-ins record, one entry per line.
inline std::string loaded_from(const std::string& library) { return "pluginmgr load " + library; }
inline const std::string kUnloaded = "pluginmgr unload";
inline std::string merged(const std::string& scene) { return "orvex2_scene_plugin_merge_policy " + scene; }
inline const std::string kCompiled = "compileInitPolicy";
inline const std::string kDeployed = "deployPolicy";

// The seven header lines of a rule file.
inline std::string rule_header(const std::string& scene, int priority, bool audit, int interactive) {
    return "#@NAMESPACE\nstring name = " + scene + "\nint priority = " + std::to_string(priority) +
           "\nbool audit = " + (audit ? "true" : "false") + "\nint interactive = " + std::to_string(interactive) +
           "\nstring module_name = " + scene + "\n#@VARIABLES\n";
}

// A policy document without modules; its rule file is just the header.
inline std::string bare_policy(const std::string& scene, int priority = 5) {
    return R"({"scene": ")" + scene + R"(", "enabled": true, "addon": "", "priority": )" +
           std::to_string(priority) +
           R"(, "audit": false, "interactive": "notice", "third_party": false, "version": 1, "modules": {}})";
}

struct SyncRun {
    ToolResult result;
    std::vector<LogLine> log;
    std::vector<std::string> calls;
};

class SyncE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_sandbox();
        remove_test_path(kCallsFile);
    }

    static void make_policy_dir() { ASSERT_EQ(::mkdir(kPolicyDir.c_str(), 0755), 0) << kPolicyDir; }

    static void install_plugin_manager(const std::string& where = kDesktopLib) {
        install_test_file(DEVCTL_PLUGINMGR_PATH, where);
    }

    // Runs the tool and collects exactly `log_count` log lines (waiting
    // briefly for one more, so that an extra line shows up as a failure).
    // `env` sets the stand-ins' return codes.
    static SyncRun run_sync(std::vector<std::string> args, size_t log_count, std::vector<std::string> env = {}) {
        RunOptions options;
        options.env = std::move(env);
        return run_sync(std::move(args), log_count, std::move(options));
    }
    static SyncRun run_sync(std::vector<std::string> args, size_t log_count, RunOptions options) {
        LogSink sink;
        options.env.push_back("DEVCTL_STANDIN_CALLS=" + kCallsFile);
        SyncRun run{run_tool(std::move(args), options), {}, recorded_calls()};
        for (const auto& raw : sink.messages(log_count + 1, std::chrono::milliseconds(300))) {
            auto line = parse_log_line(raw);
            EXPECT_TRUE(line) << raw;
            if (line) run.log.push_back(*line);
        }
        EXPECT_EQ(run.log.size(), log_count) << log_texts(run);
        return run;
    }

    // A symbolic link to target where the sm scene document goes.
    static void link_sm_scene(const std::string& target) {
        std::filesystem::create_directories(std::filesystem::path(kSmScene).parent_path());
        ASSERT_EQ(::symlink(target.c_str(), kSmScene.c_str()), 0) << std::strerror(errno);
    }

    // `sync path` over the sm scene already in place, on a registered system
    // and under an address-space limit: it fails with message alone, before
    // any stand-in call, and the old rule file is left as the only one.
    static void expect_sm_sync_fails(rlim_t address_space, const std::string& message) {
        install_plugin_manager();
        write_test_file(kRegistered, "{}");
        write_test_file(kSmPolicy, "OLD RULES\n");
        RunOptions options;
        options.address_space_limit = address_space;
        const SyncRun run = run_sync({"sync", "path", kSmScene}, 1, options);
        EXPECT_EQ(run.result.signal, 0);
        EXPECT_EQ(run.result.status, 1);
        EXPECT_EQ(run.result.err, message + "\n");
        EXPECT_EQ(log_of(run), (std::vector<std::pair<int, std::string>>{{kError, "failed to run command: " + message}}));
        EXPECT_EQ(run.calls, std::vector<std::string>{});
        EXPECT_EQ(read_test_file(kSmPolicy), "OLD RULES\n");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(kPolicyDir), std::filesystem::directory_iterator()), 1);
    }

    static std::vector<std::string> recorded_calls() {
        std::vector<std::string> calls;
        if (!path_exists(kCallsFile)) return calls;
        std::istringstream lines(read_test_file(kCallsFile));
        for (std::string line; std::getline(lines, line);) calls.push_back(line);
        return calls;
    }

    static std::string log_texts(const SyncRun& run) {
        std::string texts;
        for (const auto& line : run.log) texts += "[" + std::to_string(line.priority) + "] " + line.text + "\n";
        return texts;
    }

    // The log as (priority, text) pairs, for whole-sequence comparisons.
    static std::vector<std::pair<int, std::string>> log_of(const SyncRun& run) {
        std::vector<std::pair<int, std::string>> lines;
        for (const auto& line : run.log) lines.emplace_back(line.priority, line.text);
        return lines;
    }
};

using Log = std::vector<std::pair<int, std::string>>;
using Calls = std::vector<std::string>;

}  // namespace devctl::test
