// The run lock: no other user can hold it, and a writing command's wait for
// it has an end (sync and merge waiting: with their own tests).
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>

#include "nobody_process.h"
#include "tool_e2e_fixture.h"

namespace devctl::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr uid_t kNobody = 65534;
const std::string kWaiting = "waiting for another orvex2-devctl-module-tool run to finish\n";
const std::string kFlagsFalse = R"({"version": 1, "initialized": false})";
const std::string kInitialized =
    "{\n  \"version\": 1,\n  \"initialized\": true,\n  \"sync_orvex_utils\": null,\n  \"box_enabled\": null\n}";

RunOptions as_nobody() {
    RunOptions options;
    options.who = RunAs::Nobody;
    return options;
}

bool locked_by_someone(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const bool locked = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (fd >= 0) ::close(fd);
    return locked;
}

using RunLockE2eTest = ToolE2eTest;

// Locks that any user can take (the configuration's directory) don't stop
// root, and a lock file left open to others is taken back before use.
TEST_F(RunLockE2eTest, OtherUsersCannotHoldIt) {
    write_test_file(kConfig, kFlagsFalse);
    write_test_file(kRunLockFile, "", 0666);
    ASSERT_EQ(::chown(kRunLockFile.c_str(), kNobody, kNobody), 0);
    auto holder = std::async(std::launch::async, [] {
        return run_program("/usr/bin/flock", {"/etc/orvex-scene", "sleep", "4"}, as_nobody());
    });
    const auto deadline = Clock::now() + 3s;
    while (!locked_by_someone("/etc/orvex-scene") && Clock::now() < deadline) std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(locked_by_someone("/etc/orvex-scene"));

    const auto start = Clock::now();
    const ToolResult set = run_tool({"config", "set", "--initialized", "true"});
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(set.err, "");
    EXPECT_EQ(read_test_file(kConfig), kInitialized);
    EXPECT_EQ(file_mode(kRunLockFile), 0600u);
    EXPECT_EQ(file_owner(kRunLockFile), 0u);

    const ToolResult intruder =
        run_program("/usr/bin/flock", {"-n", kRunLockFile, "true"}, as_nobody());
    EXPECT_NE(intruder.status, 0);
    EXPECT_NE(intruder.err.find("Permission denied"), std::string::npos) << intruder.err;
    holder.get();
}

// A lock file an administrator left readable: another user who opened it
// then, and takes flock on it once root's first run is over, holds nothing
// that keeps the next run waiting.
TEST_F(RunLockE2eTest, AnEarlierOpenerOfALooseFileCannotHoldIt) {
    write_test_file(kConfig, kFlagsFalse);
    write_test_file(kRunLockFile, "", 0644);
    NobodyProcess opener([](NobodyProcess& self) {
        const int fd = ::open(kRunLockFile.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return 1;
        self.step();
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return 2;
        self.step();
        return 0;
    });
    ASSERT_TRUE(opener.reached());
    EXPECT_EQ(run_tool({"config", "set", "--initialized", "true"}).status, 0);
    opener.go();
    ASSERT_TRUE(opener.reached());

    RunOptions options;
    options.timeout = 10s;
    const auto start = Clock::now();
    const ToolResult second = run_tool({"config", "set", "--initialized", "false"}, options);
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.err, "");
    EXPECT_EQ(file_mode(kRunLockFile), 0600u);
    EXPECT_EQ(file_owner(kRunLockFile), 0u);
    opener.go();
    EXPECT_EQ(opener.wait(), 0);
}

// config get reads without the lock; a writer gives up after a minute with
// nothing changed.
TEST_F(RunLockE2eTest, WritersGiveUpAfterAMinute) {
    write_test_file(kConfig, kFlagsFalse);
    HeldRunLock held;
    const auto start = Clock::now();
    const ToolResult get = run_tool({"config", "get", "--initialized"});
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(get.out, "false");

    RunOptions options;
    options.timeout = 90s;
    const ToolRun set = run_logged({"config", "set", "--initialized", "true"}, options, 1);
    EXPECT_GE(Clock::now() - start, 60s);
    EXPECT_EQ(set.result.status, 1);
    EXPECT_EQ(set.result.err, kWaiting + "timed out waiting for /run/orvex2-devctl-module-tool.lock\n");
    ASSERT_EQ(set.log.size(), 1u);
    EXPECT_EQ(set.log[0].priority, kError);
    EXPECT_EQ(set.log[0].text, "failed to run command: timed out waiting for /run/orvex2-devctl-module-tool.lock");
    EXPECT_EQ(read_test_file(kConfig), kFlagsFalse);
}

}  // namespace
}  // namespace devctl::test
