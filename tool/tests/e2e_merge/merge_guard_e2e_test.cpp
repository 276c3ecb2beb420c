// When merge runs at all: only with add-ons and only into the two scene files.
#include "merge_e2e_fixture.h"

namespace devctl::test {
namespace {

const std::string kMissingBase = "/etc/orvex-scene/missing_base.json";

// The base does not exist, so any attempt to read it would fail the run.
TEST_F(MergeE2eTest, WithoutAddonsNothingIsRead) {
    for (const std::string& output : {kSmScene, kVopScene}) {
        const MergeRun run = run_merge(kMissingBase, {}, output, 1);
        EXPECT_EQ(run.result.status, 0) << output;
        EXPECT_EQ(run.result.out, "");
        EXPECT_EQ(run.result.err, "");
        ASSERT_EQ(run.log.size(), 1u);
        EXPECT_EQ(run.log[0].priority, kInfo);
        EXPECT_EQ(run.log[0].text, merge_line(kMissingBase, "[]", output));
        EXPECT_FALSE(path_exists(output));
    }
}

TEST_F(MergeE2eTest, OnlyTheTwoScenePathsAsTypedAreWritten) {
    const std::string addon = kAddonDir + "a.json";
    write_test_file(addon, policy_json("a", ""));
    write_test_file(kSmScene, "OLD");
    const std::string others[] = {
        "/etc/orvex-scene/scene/other.json",
        "etc/orvex-scene/scene/sm_devctl.json",
        "/etc/orvex-scene/scene/sm_devctl.json/",
        "/etc/orvex-scene/scene//sm_devctl.json",
        "/etc/orvex-scene/scene/../scene/sm_devctl.json",
        "/etc/orvex-scene/scene/SM_devctl.json",
        "/etc/orvex-scene/scene/sm_devctl.json ",
    };
    for (const auto& output : others) {
        const MergeRun run = run_merge(kMissingBase, {addon}, output, 1);
        EXPECT_EQ(run.result.status, 0) << output;
        EXPECT_EQ(run.result.out, "") << output;
        EXPECT_EQ(run.result.err, "") << output;
        ASSERT_EQ(run.log.size(), 1u) << output;
        EXPECT_EQ(run.log[0].text, merge_line(kMissingBase, "[\"" + addon + "\"]", output));
    }
    EXPECT_EQ(read_test_file(kSmScene), "OLD");
    EXPECT_FALSE(path_exists("/etc/orvex-scene/scene/other.json"));
}

TEST_F(MergeE2eTest, LogLineListsAddonsEscapedInOrder) {
    const std::string quoted = kAddonDir + "q\"b\\s.json";
    const std::string tabbed = kAddonDir + "t\tn\n.json";
    const std::string plain = kAddonDir + "\xc3\xa9.json";
    // The guard skips the merge (output is no scene path); the line is logged anyway.
    const MergeRun run = run_merge("base.json", {quoted, tabbed, plain}, "out.json", 1);
    EXPECT_EQ(run.result.status, 0);
    ASSERT_EQ(run.log.size(), 1u);
    EXPECT_EQ(run.log[0].priority, kInfo);
    EXPECT_EQ(run.log[0].text,
              merge_line("base.json",
                         "[\"" + kAddonDir + "q\\\"b\\\\s.json\", \"" + kAddonDir + "t\\tn\\n.json\", \"" + kAddonDir +
                             "\xc3\xa9.json\"]",
                         "out.json"));
}

}  // namespace
}  // namespace devctl::test
