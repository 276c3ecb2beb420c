// A rule file that is a FIFO anyone may read: whoever reads it can neither
// end the run with a signal nor hold it (and the run lock) up for ever.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "nobody_process.h"
#include "sync_e2e_fixture.h"

namespace devctl::test {
namespace {

using namespace std::chrono_literals;

constexpr int kPipeSize = 4096;

class SyncFifoTargetE2eTest : public SyncE2eTest {
protected:
    // The defender scene's rule text (over 20 KB) goes into a FIFO of mode
    // 0644 at its rule file; the sm scene's rule file is an old one.
    static void set_up_scenes() {
        make_policy_dir();
        ASSERT_EQ(::mkfifo(kVopPolicy.c_str(), 0644), 0);
        ASSERT_EQ(::chmod(kVopPolicy.c_str(), 0644), 0);
        install_plugin_manager();
        install_test_file(std::string(DEVCTL_EXAMPLES_DIR) + "/scene/vop_devctl.json", kVopScene, 0644);
        write_test_file(kSmScene, bare_policy("sm"));
        write_test_file(kSmPolicy, "OLD RULES\n");
    }

    // Opened for reading by another user, its pipe shrunk to one page.
    static int open_shrunk() {
        const int fd = ::open(kVopPolicy.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0 && ::fcntl(fd, F_SETPIPE_SZ, kPipeSize) != kPipeSize) return -1;
        return fd;
    }

    // The run failed with message alone, before any platform call, and left
    // both rule files as they were.
    static void expect_failed_alone(const SyncRun& run, const std::string& message) {
        EXPECT_EQ(run.result.signal, 0);
        EXPECT_EQ(run.result.status, 1);
        EXPECT_EQ(run.result.err, message + "\n");
        EXPECT_EQ(log_of(run), (Log{{kError, "failed to run command: " + message}}));
        EXPECT_EQ(run.calls, Calls{});
        EXPECT_TRUE(std::filesystem::is_fifo(kVopPolicy));
        EXPECT_EQ(read_test_file(kSmPolicy), "OLD RULES\n");
    }
};

// The reader takes ten bytes and leaves while the rule text is still being
// written: a broken pipe, reported like any failed write.
TEST_F(SyncFifoTargetE2eTest, AReaderThatLeavesFailsTheRun) {
    set_up_scenes();
    NobodyProcess reader([](NobodyProcess& self) {
        const int fd = open_shrunk();
        if (fd < 0) return 1;
        self.step();
        pollfd in{fd, POLLIN, 0};
        char bytes[10];
        if (::poll(&in, 1, 20000) != 1 || ::read(fd, bytes, sizeof bytes) != sizeof bytes) return 2;
        ::close(fd);
        return 0;
    });
    ASSERT_TRUE(reader.reached());
    reader.go();
    const SyncRun run = run_sync({"sync", "all"}, 1);
    expect_failed_alone(run, "Broken pipe (os error 32)");
    EXPECT_EQ(reader.wait(), 0);
}

// The reader reads nothing: the write gives up after a minute.
TEST_F(SyncFifoTargetE2eTest, AReaderThatStallsFailsTheRunAfterAMinute) {
    set_up_scenes();
    NobodyProcess reader([](NobodyProcess& self) {
        const int fd = open_shrunk();
        if (fd < 0) return 1;
        self.step();  // holds the FIFO open until the test lets go
        return 0;
    });
    ASSERT_TRUE(reader.reached());
    RunOptions options;
    options.timeout = 90s;
    const auto start = std::chrono::steady_clock::now();
    const SyncRun run = run_sync({"sync", "all"}, 1, options);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 60s);
    EXPECT_LT(took, 70s);
    expect_failed_alone(run, "timed out after 60 s writing into a device or FIFO");
    reader.go();
    EXPECT_EQ(reader.wait(), 0);
}

}  // namespace
}  // namespace devctl::test
