// Writing into a FIFO whose reader stops reading or goes away: the write
// ends, in time and without a signal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "fs/unique_fd.h"
#include "fs/write_in_place.h"
#include "temp_dir.h"

namespace devctl {
namespace {

using namespace std::chrono_literals;
using testing_support::TempDir;

// A FIFO opened for reading, its pipe shrunk to one page.
class ShrunkFifo {
public:
    ShrunkFifo() {
        EXPECT_EQ(::mkfifo(path().c_str(), 0600), 0);
        reader_ = UniqueFd(::open(path().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        EXPECT_EQ(::fcntl(reader_.get(), F_SETPIPE_SZ, 4096), 4096);
    }
    std::string path() const { return dir_ / "fifo"; }
    UniqueFd& reader() { return reader_; }

private:
    TempDir dir_;
    UniqueFd reader_;
};

Status write_into(const std::string& path, std::chrono::milliseconds limit) {
    const auto written = write_in_place(
        path,
        [](FileOutput& out) {
            out.write(std::string(100000, 'x'));
            return Status{};
        },
        limit);
    return written ? *written : fail(make_error("not written in place"));
}

bool sigpipe_blocked_or_pending() {
    sigset_t set;
    ::pthread_sigmask(SIG_BLOCK, nullptr, &set);
    if (::sigismember(&set, SIGPIPE) == 1) return true;
    ::sigpending(&set);
    return ::sigismember(&set, SIGPIPE) == 1;
}

// Nothing is read: the write gives up at its limit, which the message names.
TEST(InPlaceWrite, AReaderThatStallsEndsTheWriteAtTheLimit) {
    ShrunkFifo fifo;
    const auto start = std::chrono::steady_clock::now();
    const Status status = write_into(fifo.path(), 300ms);
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().messages,
              (std::vector<std::string>{"timed out after 0.3 s writing into a device or FIFO"}));
    EXPECT_GE(took, 300ms);
    EXPECT_LT(took, 3s);
}

// Ten bytes are read, then the reader closes: a broken pipe, as an error
// rather than a signal, and SIGPIPE is neither held back nor pending after.
TEST(InPlaceWrite, AReaderThatLeavesFailsTheWriteWithoutASignal) {
    ShrunkFifo fifo;
    std::jthread reader([&fifo] {
        pollfd in{fifo.reader().get(), POLLIN, 0};
        char bytes[10];
        if (::poll(&in, 1, 5000) == 1) (void)::read(fifo.reader().get(), bytes, sizeof bytes);
        fifo.reader().reset();
    });
    const Status status = write_into(fifo.path(), 10s);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().messages, (std::vector<std::string>{"Broken pipe (os error 32)"}));
    EXPECT_FALSE(sigpipe_blocked_or_pending());
}

}  // namespace
}  // namespace devctl
