// `config get` and `config set` against /etc/orvex-scene/config.json.
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "tool_e2e_fixture.h"

namespace devctl::test {
namespace {

using ConfigE2eTest = ToolE2eTest;

std::string config_text(const std::string& version, const std::string& initialized, const std::string& sync,
                        const std::string& box) {
    return "{\n  \"version\": " + version + ",\n  \"initialized\": " + initialized + ",\n  \"sync_orvex_utils\": " +
           sync + ",\n  \"box_enabled\": " + box + "\n}";
}

TEST_F(ConfigE2eTest, GetPrintsTheFlagWithoutLineFeed) {
    struct Case {
        std::string content;
        std::string flag;
        std::string out;
    };
    const std::vector<Case> cases = {
        {R"({"initialized": true})", "--initialized", "true"},
        {"{}", "--initialized", "false"},
        {R"({"initialized": null, "box_enabled": true})", "--initialized", "false"},
        {R"({"box_enabled": true, "Box_enabled": false, "extra": {"a": [1, 2]}})", "--box-enabled", "true"},
        {R"({"sync_orvex_utils": false, "initialized": true})", "--sync-orvex-utils", "false"},
        {"[null, false, true, null]", "--sync-orvex-utils", "true"},
    };
    for (const auto& c : cases) {
        write_test_file(kConfig, c.content);
        const ToolRun run = run_logged({"config", "get", c.flag});
        EXPECT_EQ(run.result.status, 0) << c.content;
        EXPECT_EQ(run.result.out, c.out) << c.content;
        EXPECT_EQ(run.result.err, "") << c.content;
        EXPECT_TRUE(run.log.empty()) << c.content;
        EXPECT_EQ(read_test_file(kConfig), c.content);
    }
}

TEST_F(ConfigE2eTest, SetRewritesTheWholeFile) {
    struct Case {
        std::string content;
        std::vector<std::string> options;
        std::string written;
    };
    const std::vector<Case> cases = {
        {"{}", {}, config_text("null", "null", "null", "null")},
        {R"({"version": 7, "initialized": true, "sync_orvex_utils": false, "extra": [1]})",
         {"--box-enabled", "true"},
         config_text("7", "true", "false", "true")},
        {"[null, true, false, null]", {}, config_text("null", "true", "false", "null")},
        {R"({"version": 1, "initialized": true, "box_enabled": false})",
         {"--initialized=false", "--sync-orvex-utils", "true"},
         config_text("1", "false", "true", "false")},
        {" {\"version\": 4294967295}\n", {"--box-enabled", "false", "--initialized", "true", "--sync-orvex-utils", "false"},
         config_text("4294967295", "true", "false", "false")},
    };
    for (const auto& c : cases) {
        write_test_file(kConfig, c.content);
        std::vector<std::string> args = {"config", "set"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const ToolRun run = run_logged(args);
        EXPECT_EQ(run.result.status, 0) << c.content;
        EXPECT_EQ(run.result.out, "") << c.content;
        EXPECT_EQ(run.result.err, "") << c.content;
        EXPECT_TRUE(run.log.empty()) << c.content;
        EXPECT_EQ(read_test_file(kConfig), c.written) << c.content;
    }
}

TEST_F(ConfigE2eTest, SetKeepsModeAndOwner) {
    write_test_file(kConfig, "{}", 0640);
    ASSERT_EQ(::chown(kConfig.c_str(), 65534, 65534), 0) << std::strerror(errno);
    const ToolRun run = run_logged({"config", "set", "--initialized", "true"});
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(read_test_file(kConfig), config_text("null", "true", "null", "null"));
    EXPECT_EQ(file_mode(kConfig), 0640u);
    EXPECT_EQ(file_owner(kConfig), 65534u);
}

// Unreadable content fails both commands with the reader's message as the cause.
TEST_F(ConfigE2eTest, UnreadableContentFailsAndIsLeftAlone) {
    struct Case {
        std::string content;
        std::string cause;
    };
    const std::vector<Case> cases = {
        {"", "EOF while parsing a value at line 1 column 0"},
        {"{\n} x", "trailing characters at line 2 column 3"},
        {R"({"version": -1})", "invalid value: integer `-1`, expected u32 at line 1 column 14"},
        {R"({"version": "7"})", "invalid type: string \"7\", expected u32 at line 1 column 15"},
        {R"({"box_enabled": true, "box_enabled": true})", "duplicate field `box_enabled` at line 1 column 35"},
        {"[null, true]", "invalid length 2, expected struct Config with 4 elements at line 1 column 12"},
    };
    for (const auto& c : cases) {
        for (const std::vector<std::string>& args : {std::vector<std::string>{"config", "get", "--initialized"},
                                                     std::vector<std::string>{"config", "set", "--initialized", "true"}}) {
            write_test_file(kConfig, c.content);
            const ToolRun run = run_logged(args, RunAs::Root, 1);
            const std::string what = c.content + " / " + args[1];
            EXPECT_EQ(run.result.status, 1) << what;
            EXPECT_EQ(run.result.out, "") << what;
            EXPECT_EQ(run.result.err, "falied to deserialize config data: " + c.cause + "\n") << what;
            ASSERT_EQ(run.log.size(), 1u) << what;
            EXPECT_EQ(run.log[0].priority, kError) << what;
            EXPECT_EQ(run.log[0].text, "failed to run command: falied to deserialize config data\n\nCaused by:\n    " +
                                           c.cause)
                << what;
            EXPECT_EQ(read_test_file(kConfig), c.content) << what;
        }
    }
}

TEST_F(ConfigE2eTest, SetOnMissingFileCreatesNothing) {
    const ToolRun run = run_logged({"config", "set"}, RunAs::Root, 1);
    EXPECT_EQ(run.result.status, 1);
    EXPECT_EQ(run.result.err, "failed to load config from file: " + kEnoent + "\n");
    EXPECT_FALSE(path_exists(kConfig));
}

// A failed save leaves the old content whole.
TEST_F(ConfigE2eTest, SaveFailureKeepsTheOldFile) {
    const std::string dir = "/etc/orvex-scene";
    write_test_file(kConfig, R"({"version": 3})");
    ASSERT_EQ(::mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr), 0) << std::strerror(errno);
    const bool read_only = ::mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    const int remount_errno = errno;
    const ToolRun run = run_logged({"config", "set", "--box-enabled", "true"}, RunAs::Root, 1);
    ::umount2(dir.c_str(), MNT_DETACH);
    ASSERT_TRUE(read_only) << std::strerror(remount_errno);
    EXPECT_EQ(run.result.status, 1);
    EXPECT_EQ(run.result.err, "failed to save config to file: Read-only file system (os error 30)\n");
    ASSERT_EQ(run.log.size(), 1u);
    EXPECT_EQ(run.log[0].text,
              "failed to run command: failed to save config to file\n\nCaused by:\n    Read-only file system (os error 30)");
    EXPECT_EQ(read_test_file(kConfig), R"({"version": 3})");
}

}  // namespace
}  // namespace devctl::test
