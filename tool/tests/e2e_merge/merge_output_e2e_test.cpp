// What a successful merge writes, the warnings it logs, and a failed write
// that must leave the old scene file intact.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>


#include "merge_e2e_fixture.h"

namespace devctl::test {
namespace {

const std::string kBase = "/etc/orvex-scene/base.json";
const std::string kFirst = kAddonDir + "first.json";
const std::string kSecond = kAddonDir + "second.json";

TEST_F(MergeE2eTest, WritesThePrettyDocumentWithoutFinalNewline) {
    write_test_file(kBase, R"({"scene": "sm", "enabled": false, "addon": "", "priority": 1, "audit": false,
"interactive": "disabled", "third_party": false, "version": 1, "modules": {"devctl": {"type": "devctl",
"enabled": true, "interactive": "notice", "modules": {}, "rules": [{"operation": "deny", "user": "*",
"subject": "*", "object": "/dev/sdb", "object_type": "block", "permission": ["r", "w"], "func": "",
"eval_func": ""}], "variables": [{"name": "usb", "value": {"type": "device_class", "value": {"type": "usb",
"value": ["mass_storage", "hid", "hid"]}}}, {"name": "ids", "value": {"type": "pvid", "value": [{"usb_type": 8,
"pid": 2, "vid": 3, "serial": null, "name": "disk"}]}}, {"name": "mode", "value": "strict"}], "addon": "",
"section_changed": true}}})");
    write_test_file(kFirst, R"({"scene": "sm2", "enabled": true, "addon": "a1", "priority": 5, "audit": true,
"interactive": "authorize", "third_party": true, "version": 2, "modules": {"devctl": {"type": "devctl",
"enabled": false, "interactive": "disabled", "modules": {}, "rules": [{"name": "r1", "operation": "allow",
"user": "root", "subject": "/bin/x", "object": "/dev/sdc", "object_type": "block", "permission": ["r"],
"func": "f", "eval_func": "e"}], "variables": [{"name": "usb", "value": {"type": "device_class", "value":
{"type": "usb", "value": ["usb"]}}}, {"name": "ids", "value": {"type": "pvid", "value": [[8, 2, 3, null, null]]}},
{"name": "mode", "value": "relaxed"}], "addon": "a1"}, "ignored": {"type": "x", "enabled": true,
"interactive": "notice", "modules": {}, "rules": [], "variables": [], "addon": ""}}})");

    const MergeRun run = run_merge(kBase, {kFirst}, kSmScene, 1);
    ASSERT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(run.result.out, "");
    EXPECT_EQ(run.result.err, "");
    EXPECT_EQ(read_test_file(kSmScene), R"({
  "scene": "sm2",
  "enabled": true,
  "addon": "a1",
  "priority": 5,
  "audit": true,
  "interactive": "authorize",
  "third_party": true,
  "version": 2,
  "modules": {
    "devctl": {
      "type": "devctl",
      "enabled": false,
      "interactive": "disabled",
      "modules": {},
      "rules": [
        {
          "operation": "deny",
          "user": "*",
          "subject": "*",
          "object": "/dev/sdb",
          "object_type": "block",
          "permission": [
            "r",
            "w"
          ],
          "func": "",
          "eval_func": ""
        },
        {
          "name": "r1",
          "operation": "allow",
          "user": "root",
          "subject": "/bin/x",
          "object": "/dev/sdc",
          "object_type": "block",
          "permission": [
            "r"
          ],
          "func": "f",
          "eval_func": "e"
        }
      ],
      "variables": [
        {
          "name": "usb",
          "value": {
            "type": "device_class",
            "value": {
              "type": "usb",
              "value": [
                "usb",
                "hid",
                "mass_storage"
              ]
            }
          }
        },
        {
          "name": "ids",
          "value": {
            "type": "pvid",
            "value": [
              {
                "usb_type": 8,
                "pid": 2,
                "vid": 3,
                "serial": null,
                "name": null
              }
            ]
          }
        },
        {
          "name": "mode",
          "value": "relaxed"
        }
      ],
      "addon": "a1"
    }
  }
})");
}

TEST_F(MergeE2eTest, BaseMayBeTheOutputAndKeepsItsMode) {
    write_test_file(kVopScene, policy_json("vop", R"("m": )" + module_json("t", uid_var("u", "5, 1, 5"))), 0600);
    write_test_file(kFirst, policy_json("vop2", R"("m": )" + module_json("t", uid_var("u", "3"))));
    const MergeRun run = run_merge(kVopScene, {kFirst}, kVopScene, 1);
    ASSERT_EQ(run.result.status, 0) << run.result.err;
    const std::string written = read_test_file(kVopScene);
    EXPECT_NE(written.find(R"("scene": "vop2")"), std::string::npos);
    EXPECT_NE(written.find("\"value\": [\n              1,\n              3,\n              5\n            ]"),
              std::string::npos)
        << written;
    EXPECT_EQ(file_mode(kVopScene), 0600u);
}

TEST_F(MergeE2eTest, NewOutputGetsDefaultMode) {
    write_test_file(kBase, policy_json("base", ""));
    write_test_file(kFirst, policy_json("first", ""));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const MergeRun run = run_merge(kBase, {kFirst}, kVopScene, 1);
    ASSERT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(file_mode(kVopScene), 0666u & ~mask);
}

// The second add-on merges into the first one's result, and its warnings
// name the scene and module types as the first add-on left them.
TEST_F(MergeE2eTest, TwoAddonsInOrderWithWarnings) {
    const std::string inner_base = R"("inner": )" + module_json("inner_t", uid_var("w", "1"));
    const std::string inner_add = R"("inner": )" + module_json("inner_t2", R"({"name": "w", "value": "text"})");
    write_test_file(kBase, policy_json("base", R"("m": )" + module_json("base_t", uid_var("u", "5, 1, 5") +
                                                                          R"(, {"name": "s", "value": "zero"})" +
                                                                          R"(, {"name": "d", "value": {"type": "device_class", "value": {"type": "usb", "value": ["hub"]}}})",
                                                                      inner_base)));
    write_test_file(kFirst, policy_json("first", R"("m": )" + module_json("first_t", uid_var("u", "3") +
                                                                            R"(, {"name": "s", "value": "one"})" +
                                                                            R"(, {"name": "d", "value": {"type": "device_class", "value": {"type": "device", "value": ["cdrom"]}}})",
                                                                        inner_add),
                                        10));
    write_test_file(kSecond, policy_json("second", R"("m": )" + module_json("second_t",
                                                                              R"({"name": "u", "value": {"type": "username", "value": ["x"]}})"
                                                                              R"(, {"name": "s", "value": "two"})"),
                                         20));

    const MergeRun run = run_merge(kBase, {kFirst, kSecond}, kSmScene, 3);
    ASSERT_EQ(run.result.status, 0) << run.result.err;
    ASSERT_EQ(run.log.size(), 3u);
    EXPECT_EQ(run.log[0].text, merge_line(kBase, "[\"" + kFirst + "\", \"" + kSecond + "\"]", kSmScene));
    EXPECT_EQ(run.log[1].priority, kWarning);
    EXPECT_EQ(run.log[1].text, "skip merging variables differ in type at base.base_t.inner_t.w");
    EXPECT_EQ(run.log[2].priority, kWarning);
    EXPECT_EQ(run.log[2].text, "skip merging variables differ in type at first.first_t.u");

    const std::string written = read_test_file(kSmScene);
    EXPECT_NE(written.find(R"("scene": "second")"), std::string::npos);
    EXPECT_NE(written.find(R"("priority": 20)"), std::string::npos);
    EXPECT_NE(written.find(R"("type": "second_t")"), std::string::npos);
    EXPECT_NE(written.find(R"("value": "two")"), std::string::npos);
    EXPECT_EQ(written.find("username"), std::string::npos);
    EXPECT_NE(written.find("[\n              1,\n              3,\n              5\n            ]"),
              std::string::npos)
        << written;
    // The device class of another sub-kind is left alone, silently.
    EXPECT_NE(written.find("\"hub\""), std::string::npos);
    EXPECT_EQ(written.find("cdrom"), std::string::npos);
}

// The file size limit makes the write fail half-way; the scene file, which
// is also the base, must come through unchanged and no temporary is left.
TEST_F(MergeE2eTest, FailedWriteLeavesTheOldFileIntact) {
    const std::string old_text = policy_json("sm", R"("m": )" + module_json("t", uid_var("u", "1")));
    write_test_file(kSmScene, old_text);
    std::string many;
    for (int i = 0; i < 5000; ++i) many += (i ? ", " : "") + std::to_string(i);
    write_test_file(kFirst, policy_json("big", R"("m": )" + module_json("t", uid_var("u", many))));

    struct rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    LogSink sink;
    const auto old_handler = ::signal(SIGXFSZ, SIG_IGN);  // inherited by the tool: EFBIG instead of a kill
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const ToolResult result = run_tool(merge_args(kSmScene, {kFirst}, kSmScene));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, old_handler);

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "failed to save merged policy: File too large (os error 27)\n");
    const auto log = sink.messages(2);
    ASSERT_EQ(log.size(), 2u);
    const auto line = parse_log_line(log[1]);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->text,
              "failed to run command: failed to save merged policy\n\nCaused by:\n    File too large (os error 27)");
    EXPECT_EQ(read_test_file(kSmScene), old_text);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(kSceneDir)) ++entries;
    EXPECT_EQ(entries, 1u);
}

}  // namespace
}  // namespace devctl::test
