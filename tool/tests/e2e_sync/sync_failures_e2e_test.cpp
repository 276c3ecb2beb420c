// Failures while generating a rule file: unparsable documents and writes that
// cannot complete. A failed write must leave the previous rule file intact.
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "sync_e2e_fixture.h"

namespace devctl::test {
namespace {

class SyncFailureE2eTest : public SyncE2eTest {
protected:
    static SyncRun sync_sm_expecting_failure() {
        const SyncRun run = run_sync({"sync", "path", kSmScene}, 1);
        EXPECT_EQ(run.result.status, 1);
        EXPECT_EQ(run.result.out, "");
        EXPECT_EQ(run.calls, Calls{});
        if (!run.result.err.empty() && run.log.size() == 1) {
            // One message, so the report form is the chain form.
            const std::string message = run.result.err.substr(0, run.result.err.size() - 1);
            EXPECT_EQ(run.log[0].priority, kError);
            EXPECT_EQ(run.log[0].text, "failed to run command: " + message);
        }
        return run;
    }
};

// Mounts over the policy directory for one test; reset_sandbox would drop
// it with /etc anyway, but the next test must not depend on that.
class ScopedMount {
public:
    ScopedMount(const std::string& target, const char* type, unsigned long flags, const char* options)
        : target_(target) {
        const char* source = type == nullptr ? target.c_str() : type;
        mounted_ = ::mount(source, target.c_str(), type, flags, options) == 0;
        EXPECT_TRUE(mounted_) << target << ": " << std::strerror(errno);
    }
    ~ScopedMount() {
        if (mounted_) ::umount2(target_.c_str(), MNT_DETACH);
    }
    ScopedMount(const ScopedMount&) = delete;
    ScopedMount& operator=(const ScopedMount&) = delete;

    bool remount_read_only() {
        return ::mount(nullptr, target_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }

private:
    std::string target_;
    bool mounted_ = false;
};

TEST_F(SyncFailureE2eTest, UnparsableDocumentsReportTheReaderMessage) {
    struct Case {
        std::string document;
        std::string error;
    } cases[] = {
        {"", "EOF while parsing a value at line 1 column 0"},
        {"  \n", "EOF while parsing a value at line 2 column 0"},
        {"{}", "missing field `scene` at line 1 column 2"},
        {R"({"scene": "sm")", "EOF while parsing an object at line 1 column 14"},
        {bare_policy("sm") + " x",
         "trailing characters at line 1 column " + std::to_string(bare_policy("sm").size() + 2)},
        // The string is checked once it is complete, at its closing quote.
        {R"({"scene": "s)" "\xff" R"(m"})", "invalid unicode code point at line 1 column 15"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        SetUp();
        install_plugin_manager();
        write_test_file(kRegistered, "{}");
        make_policy_dir();
        write_test_file(kSmScene, c.document);
        const SyncRun run = sync_sm_expecting_failure();
        EXPECT_EQ(run.result.err, c.error + "\n");
        EXPECT_FALSE(path_exists(kSmPolicy));
    }
}

TEST_F(SyncFailureE2eTest, MissingPolicyDirectoryIsNotCreated) {
    install_plugin_manager();
    write_test_file(kSmScene, bare_policy("sm"));
    const SyncRun run = sync_sm_expecting_failure();
    EXPECT_EQ(run.result.err, "No such file or directory (os error 2)\n");
    EXPECT_FALSE(path_exists(kPolicyDir));
}

TEST_F(SyncFailureE2eTest, ReadOnlyPolicyDirectoryKeepsTheOldRuleFile) {
    install_plugin_manager();
    write_test_file(kSmScene, bare_policy("sm"));
    write_test_file(kSmPolicy, "OLD RULES\n");
    ScopedMount bind(kPolicyDir, nullptr, MS_BIND, nullptr);
    ASSERT_TRUE(bind.remount_read_only()) << std::strerror(errno);
    const SyncRun run = sync_sm_expecting_failure();
    EXPECT_EQ(run.result.err, "Read-only file system (os error 30)\n");
    EXPECT_EQ(read_test_file(kSmPolicy), "OLD RULES\n");
}

// Writing in place would leave a truncated file behind when the disk fills.
TEST_F(SyncFailureE2eTest, FullPolicyDirectoryKeepsTheOldRuleFile) {
    install_plugin_manager();
    std::string uids;
    for (int uid = 100000; uid < 130000; ++uid) uids += (uids.empty() ? "" : ",") + std::to_string(uid);
    write_test_file(kSmScene, R"({"scene": "sm", "enabled": true, "addon": "", "priority": 1, "audit": false,
        "interactive": "notice", "third_party": false, "version": 1, "modules": {"m": {"type": "t",
        "enabled": true, "interactive": "notice", "modules": {}, "rules": [], "addon": "",
        "variables": [{"name": "uids", "value": {"type": "uid", "value": [)" + uids + "]}}]}}}");
    make_policy_dir();
    ScopedMount small(kPolicyDir, "tmpfs", MS_NOSUID, "size=64k,mode=0755");
    write_test_file(kSmPolicy, "OLD RULES\n");
    const SyncRun run = sync_sm_expecting_failure();
    EXPECT_EQ(run.result.err, "No space left on device (os error 28)\n");
    EXPECT_EQ(read_test_file(kSmPolicy), "OLD RULES\n");
    // The partly written temporary file is removed again.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(kPolicyDir), std::filesystem::directory_iterator()), 1);
}

}  // namespace
}  // namespace devctl::test
