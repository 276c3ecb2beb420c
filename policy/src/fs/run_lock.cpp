#include "fs/run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <thread>

namespace devctl {
namespace {

int locks_held = 0;

// Opened without following a link and without blocking (a FIFO in its place
// would otherwise wait for a writer), then made root-only.
UniqueFd open_lock_file(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if ((st.st_uid != uid || st.st_gid != gid) && ::fchown(fd.get(), uid, gid) != 0) return {};
    if ((st.st_mode & 07777) != 0600 && ::fchmod(fd.get(), 0600) != 0) return {};
    return fd;
}

enum class Attempt { Locked, Busy, Unlockable };

Attempt try_lock(int fd) {
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return Attempt::Locked;
        if (errno == EWOULDBLOCK) return Attempt::Busy;
        if (errno != EINTR) return Attempt::Unlockable;
    }
}

}  // namespace

Result<RunLock> RunLock::take(const std::string& path, const RunLockWait& wait) {
    RunLock lock;
    UniqueFd fd = open_lock_file(path);
    if (!fd) return lock;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    bool noticed = false;
    // Polled rather than waited for in flock(): a blocking flock() has no
    // time limit short of a signal.
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        const Attempt attempt = try_lock(fd.get());
        if (attempt == Attempt::Unlockable) return lock;
        if (attempt == Attempt::Locked) break;
        const auto waited = Clock::now() - start;
        if (waited >= wait.give_up_after) return fail(make_error("timed out waiting for " + path));
        if (!noticed && waited >= wait.notice_after) {
            noticed = true;
            if (wait.on_long_wait) wait.on_long_wait();
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    lock.fd_ = std::move(fd);
    ++locks_held;
    return lock;
}

RunLock::~RunLock() {
    if (fd_) --locks_held;
}

bool run_lock_held() { return locks_held > 0; }

}  // namespace devctl
