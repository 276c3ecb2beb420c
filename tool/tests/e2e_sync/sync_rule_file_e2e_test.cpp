// A rule file is replaced as a whole: the new file takes the old one's mode
// and owner, its ACL and extended attributes, a link to it stays a link, and
// no temporary file is left over.
// One linked to a device is written into the device instead.
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "sync_e2e_fixture.h"
#include "test_device.h"
#include "xattr_values.h"

namespace devctl::test {
namespace {

constexpr uid_t kNobody = 65534;

std::vector<std::string> policy_dir_entries() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kPolicyDir))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

class SyncRuleFileE2eTest : public SyncE2eTest {
protected:
    static SyncRun sync_sm() {
        install_plugin_manager();
        write_test_file(kSmScene, bare_policy("sm"));
        return run_sync({"sync", "path", kSmScene}, 1);
    }
};

// The process umask shapes a new file's mode; restored for the next test.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(old_); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t old_;
};

TEST_F(SyncRuleFileE2eTest, ExistingFileKeepsItsModeAndOwner) {
    make_policy_dir();
    write_test_file(kSmPolicy, "OLD RULES\n", 0600);
    ASSERT_EQ(::chown(kSmPolicy.c_str(), kNobody, kNobody), 0);
    const SyncRun run = sync_sm();
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(read_test_file(kSmPolicy), rule_header("sm", 5, false, 2));
    EXPECT_EQ(file_mode(kSmPolicy), 0600u);
    EXPECT_EQ(file_owner(kSmPolicy), kNobody);
    EXPECT_EQ(policy_dir_entries(), std::vector<std::string>{"sm_devctl.json.policy"});
}

// Under the run lock, temporary files of the rule file that killed runs left
// are removed; look-alikes, links and other files' leftovers stay.
TEST_F(SyncRuleFileE2eTest, LeftoversOfKilledRunsAreRemoved) {
    make_policy_dir();
    for (const char* name : {".sm_devctl.json.policy.tmp-123-0", ".sm_devctl.json.policy.tmp-99-7",
                             ".sm_devctl.json.policy.tmp-1-x", ".vop_devctl.json.policy.tmp-1-1"}) {
        write_test_file(kPolicyDir + "/" + name, "PARTIAL", 0600);
    }
    std::filesystem::create_symlink("sm_devctl.json.policy", kPolicyDir + "/.sm_devctl.json.policy.tmp-5-5");
    const SyncRun run = sync_sm();
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(policy_dir_entries(),
              (std::vector<std::string>{".sm_devctl.json.policy.tmp-1-x", ".sm_devctl.json.policy.tmp-5-5",
                                        ".vop_devctl.json.policy.tmp-1-1", "sm_devctl.json.policy"}));
}

// A rule file linked to a directory (named with or without a trailing
// slash) can never be renamed into place, so nothing there named like a
// leftover of it is removed; the sync fails as ever.
TEST_F(SyncRuleFileE2eTest, NothingIsRemovedBesideADirectoryTarget) {
    make_policy_dir();
    const std::string inside = "/run/d/..tmp-3-3";
    const std::string beside = "/run/.d.tmp-3-3";
    write_test_file(inside, "KEEP", 0600);
    write_test_file(beside, "KEEP", 0600);
    for (const auto& [link, message] : {std::pair<std::string, std::string>{"/run/d/", "Not a directory (os error 20)"},
                                        {"/run/d", "Is a directory (os error 21)"}}) {
        remove_test_path(kSmPolicy);
        ASSERT_EQ(::symlink(link.c_str(), kSmPolicy.c_str()), 0);
        const SyncRun run = sync_sm();
        EXPECT_EQ(run.result.status, 1) << link;
        EXPECT_EQ(run.result.err, message + "\n") << link;
        EXPECT_TRUE(path_exists(inside)) << link;
        EXPECT_TRUE(path_exists(beside)) << link;
    }
}

TEST_F(SyncRuleFileE2eTest, NewFileGetsReadWriteForAllLessTheUmask) {
    make_policy_dir();
    ScopedUmask mask(027);
    const SyncRun run = sync_sm();
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(file_mode(kSmPolicy), 0640u);
    EXPECT_EQ(file_owner(kSmPolicy), 0u);
}

// The link is written through, as an in-place write would.
TEST_F(SyncRuleFileE2eTest, LinkedRuleFileStaysALink) {
    make_policy_dir();
    const std::string target = "/etc/orvex-scene/rules/sm.policy";
    write_test_file(target, "OLD RULES\n");
    ASSERT_EQ(::symlink(target.c_str(), kSmPolicy.c_str()), 0);
    const SyncRun run = sync_sm();
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_TRUE(std::filesystem::is_symlink(kSmPolicy));
    EXPECT_EQ(read_test_file(target), rule_header("sm", 5, false, 2));
}

// The rule file on a tmpfs, which keeps every kind of attribute: whoever
// was given access through its ACL keeps it, and its labels stay.
TEST_F(SyncRuleFileE2eTest, RuleFileKeepsItsAclAndExtendedAttributes) {
    make_policy_dir();
    ASSERT_EQ(::mount("tmpfs", kPolicyDir.c_str(), "tmpfs", 0, "size=1m,mode=0755"), 0);
    write_test_file(kSmPolicy, "OLD RULES\n", 0640);
    const Attributes attributes = access_attributes();
    set_attributes(kSmPolicy, attributes);
    install_plugin_manager();
    write_test_file(kSmScene, bare_policy("sm"));
    const SyncRun run = run_sync({"sync", "all"}, 2);
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(read_test_file(kSmPolicy), rule_header("sm", 5, false, 2));
    EXPECT_EQ(attributes_of(kSmPolicy, attributes), attributes);
    EXPECT_EQ(file_mode(kSmPolicy), 0640u);
}

// Linking the rule file to a null device switches it off; the device must
// not turn into a regular file that anyone could write rules into.
TEST_F(SyncRuleFileE2eTest, RuleFileLinkedToADeviceIsWrittenIntoIt) {
    make_policy_dir();
    make_test_device(0620, kNobody);
    ASSERT_EQ(::symlink(kTestDevice.c_str(), kSmPolicy.c_str()), 0);
    install_plugin_manager();
    write_test_file(kSmScene, bare_policy("sm"));
    const SyncRun run = run_sync({"sync", "all"}, 2);
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(run.result.err, "");
    EXPECT_TRUE(is_test_device(0620, kNobody));
    EXPECT_TRUE(std::filesystem::is_symlink(kSmPolicy));
    EXPECT_EQ(policy_dir_entries(), std::vector<std::string>{"sm_devctl.json.policy"});
}

}  // namespace
}  // namespace devctl::test
