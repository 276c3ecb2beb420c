// `sync all`: which scenes are regenerated, in which order they reach the
// plug-in manager, and what survives a failure part-way.
#include <future>

#include "sync_e2e_fixture.h"

namespace devctl::test {
namespace {

const std::string kSmLines =
    "disallow * * * usb {use} if ($devctl & usb_disallow_use_by_id)\n"
    "disallow * * * usb {write} if ($devctl & usb_disallow_write_by_id)\n"
    "disallow * * * file {exec,interpret} if ($devctl & usb_disallow_exec_by_id)\n"
    "allow * * * usb {use} if ($devctl & usb_allow_use_by_id)\n"
    "allow * * * usb {write} if ($devctl & usb_allow_write_by_id)\n"
    "allow * * * file {exec,interpret} if ($devctl & usb_allow_exec_by_id)\n"
    "disallow * * * ethernet {use, write} if ($devctl & disallow_by_name)\n"
    "disallow * * * wireless {use, write} if ($devctl & disallow_by_name)\n";

const std::string kSmDocument = R"json({
  "scene": "sm", "enabled": true, "addon": "", "priority": 10, "audit": false,
  "interactive": "notice", "third_party": false, "version": 1,
  "modules": {"usb": {"type": "usb", "enabled": true, "interactive": "authorize", "modules": {},
    "rules": [{"operation": "allow", "user": "*", "subject": "*", "object": "staff", "object_type": "file",
               "permission": ["read", "write"], "func": "if (@@paths@@)", "eval_func": ""}],
    "variables": [{"name": "staff", "value": {"type": "uid", "value": [1000, -1]}},
                  {"name": "paths", "value": {"type": "func", "value": ["/a", "/b"]}}],
    "addon": ""}}})json";

// Byte for byte, ending in exactly the one line feed of the last section.
const std::string kSmRuleText = rule_header("sm", 10, false, 2) +
                                "dynamic bool usb = true\n"
                                "intlist staff = 1000, -1\n"
                                "#@RULES\n"
                                "\n# rules start: usb\n"
                                "\n%SECTION sm_usb\n"
                                "interactive = 1\n"
                                "module_name = sm\n"
                                "allow * * $staff file {read,write} if (\"/a,/b\")\n" +
                                kSmLines + "\n%ENDSEC\n# rules end: usb\n";

const Log kCompileOnly = {{kInfo, "only compile policy"}};

Log desktop_merges(size_t count) {
    Log log(count, {kInfo, "os arch: x86_64 Desktop"});
    log.insert(log.end(), kCompileOnly.begin(), kCompileOnly.end());
    return log;
}

TEST_F(SyncE2eTest, WithoutSceneDocumentsNothingHappens) {
    install_plugin_manager();
    write_test_file(kModuleStatus, "1");
    write_test_file(kRegistered, "{}");
    const SyncRun run = run_sync({"sync", "all"}, 0);
    EXPECT_EQ(run.result.status, 0);
    EXPECT_EQ(run.result.out, "");
    EXPECT_EQ(run.result.err, "");
    EXPECT_EQ(run.calls, Calls{});
    EXPECT_FALSE(path_exists(kPolicyDir));
}

// The registration marker is absent: `all` hands the scene over anyway.
TEST_F(SyncE2eTest, OnlyTheSmDocumentIsSynced) {
    install_plugin_manager();
    write_test_file(kSmScene, kSmDocument);
    make_policy_dir();
    const SyncRun run = run_sync({"sync", "all"}, 2);
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(run.result.out, "");
    EXPECT_EQ(read_test_file(kSmPolicy), kSmRuleText);
    EXPECT_FALSE(path_exists(kVopPolicy));
    EXPECT_EQ(run.calls, (Calls{loaded_from(kDesktopLib), merged("sm"), kUnloaded, kCompiled}));
    EXPECT_EQ(log_of(run), desktop_merges(1));
}

// Another run holds the run lock: sync waits before it reads a scene, and
// after a second says why, once.
TEST_F(SyncE2eTest, WaitsForTheRunLock) {
    install_plugin_manager();
    write_test_file(kSmScene, kSmDocument);
    make_policy_dir();
    HeldRunLock held;
    auto sync = std::async(std::launch::async, [] { return run_sync({"sync", "all"}, 2); });
    EXPECT_EQ(sync.wait_for(std::chrono::milliseconds(1500)), std::future_status::timeout);
    EXPECT_FALSE(path_exists(kSmPolicy));
    held.release();
    const SyncRun run = sync.get();
    EXPECT_EQ(run.result.status, 0);
    EXPECT_EQ(run.result.err, "waiting for another orvex2-devctl-module-tool run to finish\n");
    EXPECT_EQ(read_test_file(kSmPolicy), kSmRuleText);
    EXPECT_EQ(run.calls, (Calls{loaded_from(kDesktopLib), merged("sm"), kUnloaded, kCompiled}));
}

TEST_F(SyncE2eTest, BothScenesReachThePluginManagerInTableOrderThenOneCompile) {
    for (const std::string form : {"all", "-a"}) {
        SCOPED_TRACE(form);
        SetUp();
        install_plugin_manager();
        make_policy_dir();
        write_test_file(kVopPolicy, "an older rule text that is longer than the new one\n");
        // The rule text takes the document's own scene; the manager still gets the row's name.
        write_test_file(kVopScene, bare_policy("demo", -3));
        write_test_file(kSmScene, bare_policy("sm"));
        const SyncRun run = run_sync({"sync", form}, 3);
        EXPECT_EQ(run.result.status, 0) << run.result.err;
        EXPECT_EQ(read_test_file(kVopPolicy), rule_header("demo", -3, false, 2));
        EXPECT_EQ(read_test_file(kSmPolicy), rule_header("sm", 5, false, 2));
        EXPECT_EQ(run.calls, (Calls{loaded_from(kDesktopLib), merged("vop_defender"), kUnloaded,
                                    loaded_from(kDesktopLib), merged("sm"), kUnloaded, kCompiled}));
        EXPECT_EQ(log_of(run), desktop_merges(2));
    }
}

TEST_F(SyncE2eTest, ParseFailureOfTheSecondSceneKeepsTheFirstRuleFile) {
    install_plugin_manager();
    make_policy_dir();
    write_test_file(kSmPolicy, "OLD");
    write_test_file(kVopScene, bare_policy("vop_defender"));
    write_test_file(kSmScene, "");
    const SyncRun run = run_sync({"sync", "all"}, 1);
    const std::string message = "EOF while parsing a value at line 1 column 0";
    EXPECT_EQ(run.result.status, 1);
    EXPECT_EQ(run.result.err, message + "\n");
    EXPECT_EQ(read_test_file(kVopPolicy), rule_header("vop_defender", 5, false, 2));
    EXPECT_EQ(read_test_file(kSmPolicy), "OLD");
    EXPECT_EQ(run.calls, Calls{});
    EXPECT_EQ(log_of(run), (Log{{kError, "failed to run command: " + message}}));
}

// Later rows are not visited once one fails.
TEST_F(SyncE2eTest, ParseFailureOfTheFirstSceneLeavesTheSecondUntouched) {
    install_plugin_manager();
    make_policy_dir();
    write_test_file(kSmPolicy, "OLD");
    write_test_file(kVopScene, "{}");
    write_test_file(kSmScene, bare_policy("sm"));
    const SyncRun run = run_sync({"sync", "all"}, 1);
    EXPECT_EQ(run.result.status, 1);
    EXPECT_EQ(run.result.err, "missing field `scene` at line 1 column 2\n");
    EXPECT_FALSE(path_exists(kVopPolicy));
    EXPECT_EQ(read_test_file(kSmPolicy), "OLD");
    EXPECT_EQ(run.calls, Calls{});
}

TEST_F(SyncE2eTest, PluginManagerFailureStopsBeforeTheNextSceneAndTheCompile) {
    install_plugin_manager();
    make_policy_dir();
    write_test_file(kVopScene, bare_policy("vop_defender"));
    write_test_file(kSmScene, bare_policy("sm"));
    const SyncRun run = run_sync({"sync", "all"}, 2, {"DEVCTL_STANDIN_MERGE_RC=1"});
    EXPECT_EQ(run.result.status, 1);
    EXPECT_EQ(run.result.err, "failed to merge policy\n");
    EXPECT_TRUE(path_exists(kVopPolicy));
    EXPECT_TRUE(path_exists(kSmPolicy));
    EXPECT_EQ(run.calls, (Calls{loaded_from(kDesktopLib), merged("vop_defender"), kUnloaded}));
    EXPECT_EQ(log_of(run), (Log{{kInfo, "os arch: x86_64 Desktop"},
                                {kError, "failed to run command: failed to merge policy"}}));
}

// A document that exists but cannot be read is an error, not a skip.
TEST_F(SyncE2eTest, UnreadableDocumentFailsWithTheSystemError) {
    install_plugin_manager();
    write_test_file(kSmScene + "/inside", "");
    const SyncRun run = run_sync({"sync", "all"}, 1);
    EXPECT_EQ(run.result.status, 1);
    EXPECT_EQ(run.result.err, "Is a directory (os error 21)\n");
    EXPECT_EQ(run.calls, Calls{});
}

TEST_F(SyncE2eTest, ExampleScenesSync) {
    install_plugin_manager();
    make_policy_dir();
    write_test_file(kModuleStatus, "1");
    for (const auto& [example, scene] : {std::pair{"vop_devctl.json", kVopScene}, std::pair{"sm_devctl.json", kSmScene}})
        install_test_file(std::string(DEVCTL_EXAMPLES_DIR) + "/scene/" + example, scene, 0644);
    // One warning per vop_defender section whose usb_group_perm is missing: none here.
    const SyncRun run = run_sync({"sync", "all"}, 3);
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(run.calls, (Calls{loaded_from(kDesktopLib), merged("vop_defender"), kUnloaded,
                                loaded_from(kDesktopLib), merged("sm"), kUnloaded, kDeployed}));
    EXPECT_TRUE(read_test_file(kVopPolicy).starts_with(rule_header("vop_defender", 100, true, 2)));
    EXPECT_TRUE(read_test_file(kSmPolicy).starts_with(rule_header("sm", 50, false, 1)));
}

}  // namespace
}  // namespace devctl::test
