// Each failure of a merge: its chain on standard error, its report in the
// log, and the scene file left as it was.
#include "merge_e2e_fixture.h"

namespace devctl::test {
namespace {

struct FailureCase {
    const char* what;
    std::string base;
    std::vector<std::string> adds;
    std::string output;
    std::string err;     // standard error
    std::string report;  // the log text after "failed to run command: "
};

const std::string kBase = "/etc/orvex-scene/base.json";
const std::string kEmpty = kAddonDir + "empty.json";
const std::string kNoFields = kAddonDir + "nofields.json";
const std::string kGood = kAddonDir + "good.json";
const std::string kMissing = kAddonDir + "missing.json";
const std::string kEnoent = "No such file or directory (os error 2)";

TEST_F(MergeE2eTest, FailureRows) {
    const FailureCase cases[] = {
        {"base missing", kMissing, {kGood}, kVopScene, kEnoent + "\n", kEnoent},
        {"base is a directory", kAddonDir, {kGood}, kVopScene, "Is a directory (os error 21)\n",
         "Is a directory (os error 21)"},
        {"base not a policy", kEmpty, {kGood}, kVopScene,
         "failed to load base_on policy from " + kEmpty +
             ": failed to deserialize policy: EOF while parsing a value at line 1 column 0\n",
         "failed to load base_on policy from " + kEmpty +
             "\n\nCaused by:\n    0: failed to deserialize policy\n    1: EOF while parsing a value at line 1 column 0"},
        {"add-on missing", kBase, {kGood, kMissing, kEmpty}, kVopScene,
         "failed to load to_add policy: " + kEnoent + "\n",
         "failed to load to_add policy\n\nCaused by:\n    " + kEnoent},
        {"add-on not a policy, later add-ons unread", kBase, {kGood, kNoFields, kMissing}, kVopScene,
         "failed to load to_add policy: failed to load base_on policy from " + kNoFields +
             ": failed to deserialize policy: missing field `scene` at line 1 column 2\n",
         "failed to load to_add policy\n\nCaused by:\n    0: failed to load base_on policy from " + kNoFields +
             "\n    1: failed to deserialize policy\n    2: missing field `scene` at line 1 column 2"},
    };
    for (const auto& c : cases) {
        reset_sandbox();
        write_test_file(kBase, policy_json("base", ""));
        write_test_file(kGood, policy_json("good", ""));
        write_test_file(kEmpty, "");
        write_test_file(kNoFields, "{}");
        write_test_file(c.output, "OLD");

        const MergeRun run = run_merge(c.base, c.adds, c.output, 2);
        EXPECT_EQ(run.result.status, 1) << c.what;
        EXPECT_EQ(run.result.out, "") << c.what;
        EXPECT_EQ(run.result.err, c.err) << c.what;
        ASSERT_EQ(run.log.size(), 2u) << c.what;
        EXPECT_EQ(run.log[0].priority, kInfo) << c.what;
        EXPECT_EQ(run.log[1].priority, kError) << c.what;
        EXPECT_EQ(run.log[1].text, "failed to run command: " + c.report) << c.what;
        EXPECT_EQ(read_test_file(c.output), "OLD") << c.what;
    }
}

// The scene directory is never created.
TEST_F(MergeE2eTest, MissingSceneDirectoryFailsTheSave) {
    write_test_file(kBase, policy_json("base", ""));
    write_test_file(kGood, policy_json("good", ""));
    remove_test_path(kSceneDir);
    const MergeRun run = run_merge(kBase, {kGood}, kSmScene, 2);
    EXPECT_EQ(run.result.status, 1);
    EXPECT_EQ(run.result.err, "failed to save merged policy: " + kEnoent + "\n");
    ASSERT_EQ(run.log.size(), 2u);
    EXPECT_EQ(run.log[1].text, "failed to run command: failed to save merged policy\n\nCaused by:\n    " + kEnoent);
    EXPECT_FALSE(path_exists(kSceneDir));
}

}  // namespace
}  // namespace devctl::test
