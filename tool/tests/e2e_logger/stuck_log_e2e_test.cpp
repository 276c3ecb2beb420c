// A log daemon that is there but takes nothing more: the tool spends one
// bound on it, says so once on standard error, and finishes its command.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "sandbox.h"

namespace devctl::test {
namespace {

// Stream: listen(0) with the one pending slot taken by our own connection,
// so the next connect waits. Datagram: the receive queue filled by our own
// datagrams, so the next send waits. Nothing is ever accepted or read.
class StuckLogDaemon {
public:
    StuckLogDaemon(std::string path, int type) : path_(std::move(path)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, path_.c_str());
        const auto* at = reinterpret_cast<const sockaddr*>(&address);
        listener_ = ::socket(AF_UNIX, type | SOCK_CLOEXEC, 0);
        filler_ = ::socket(AF_UNIX, type | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (::bind(listener_, at, sizeof address) != 0 || (type == SOCK_STREAM && ::listen(listener_, 0) != 0) ||
            ::connect(filler_, at, sizeof address) != 0) {
            throw std::runtime_error("cannot set up " + path_ + ": " + std::strerror(errno));
        }
        if (type == SOCK_DGRAM) {
            while (::send(filler_, "x", 1, 0) == 1) {
            }
        }
    }
    ~StuckLogDaemon() {
        ::close(filler_);
        ::close(listener_);
        ::unlink(path_.c_str());
    }
    StuckLogDaemon(const StuckLogDaemon&) = delete;
    StuckLogDaemon& operator=(const StuckLogDaemon&) = delete;

private:
    std::string path_;
    int listener_ = -1;
    int filler_ = -1;
};

const std::string kOutput = "/etc/orvex-scene/scene/vop_devctl.json";

// `merge` logs its arguments, then fails on the missing base and logs that too.
void expect_one_bound_and_one_report(const std::string& socket_text) {
    RunOptions options;
    options.timeout = std::chrono::seconds(20);
    const auto start = std::chrono::steady_clock::now();
    const ToolResult r = run_tool(
        {"merge", "-b", "/etc/orvex-scene/missing.json", "-a", "/etc/orvex-scene/missing.json", "-o", kOutput},
        options);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(r.timed_out);
    EXPECT_LT(elapsed, std::chrono::seconds(8));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "err: LogSendError {\n    socket: \"" + socket_text +
                         ": Resource temporarily unavailable (os error 11)\",\n}\n"
                         "No such file or directory (os error 2)\n");
    EXPECT_FALSE(path_exists(kOutput));
}

class StuckLog : public testing::Test {
protected:
    void SetUp() override { reset_sandbox(); }
};

TEST_F(StuckLog, FullBacklogBoundsTheConnectOnce) {
    StuckLogDaemon daemon("/var/run/syslog", SOCK_STREAM);
    expect_one_bound_and_one_report("/var/run/syslog (stream)");
}

TEST_F(StuckLog, FullReceiveQueueBoundsTheSendOnce) {
    StuckLogDaemon daemon("/dev/log", SOCK_DGRAM);
    expect_one_bound_and_one_report("/dev/log");
}

}  // namespace
}  // namespace devctl::test
