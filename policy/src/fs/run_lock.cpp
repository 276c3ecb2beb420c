#include "fs/run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <thread>

namespace devctl {
namespace {

int locks_held = 0;

bool same_file(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether path names the file st describes, itself and not through a link.
bool still_named(const std::string& path, const struct stat& st) {
    struct stat named {};
    return ::lstat(path.c_str(), &named) == 0 && same_file(named, st);
}

bool root_only(const struct stat& st) {
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0600;
}

enum class Opened { Ready, StartOver, Unusable };

// Opened without following a link and without blocking (a FIFO in its place
// would otherwise wait for a writer). A new file is made 0600 whatever the
// umask. One that is not root-only is removed, so that the lock is taken on
// a fresh file: a descriptor someone opened while it was loose would still
// reach the old one.
Opened open_lock_file(const std::string& path, UniqueFd& fd, struct stat& st) {
    constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    fd = UniqueFd(::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0600));
    const bool created = static_cast<bool>(fd);
    if (!created) {
        if (errno != EEXIST) return Opened::Unusable;
        fd = UniqueFd(::open(path.c_str(), kFlags));
        if (!fd) return errno == ENOENT ? Opened::StartOver : Opened::Unusable;
    }
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return Opened::Unusable;
    if (created) return ::fchmod(fd.get(), 0600) == 0 ? Opened::Ready : Opened::Unusable;
    if (root_only(st)) return Opened::Ready;
    // Only while the path still names it: another run may have put a fresh
    // one there meanwhile.
    if (still_named(path, st) && ::unlink(path.c_str()) != 0) return Opened::Unusable;
    return Opened::StartOver;
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
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    bool noticed = false;
    auto pause = std::chrono::milliseconds(1);
    // One more turn of the wait, over every start-over; false once it is
    // too long. Polled rather than waited for in flock(): a blocking flock()
    // has no time limit short of a signal.
    const auto wait_more = [&] {
        const auto waited = Clock::now() - start;
        if (waited >= wait.give_up_after) return false;
        if (!noticed && waited >= wait.notice_after) {
            noticed = true;
            if (wait.on_long_wait) wait.on_long_wait();
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
        return true;
    };
    const auto timed_out = [&path] { return fail(make_error("timed out waiting for " + path)); };
    RunLock lock;
    for (;;) {
        UniqueFd fd;
        struct stat st {};
        const Opened opened = open_lock_file(path, fd, st);
        if (opened == Opened::Unusable) return lock;
        if (opened == Opened::Ready) {
            Attempt attempt;
            while ((attempt = try_lock(fd.get())) == Attempt::Busy) {
                if (!wait_more()) return timed_out();
            }
            if (attempt == Attempt::Unlockable) return lock;
            // A lock on a file removed meanwhile keeps no one out: start over.
            if (still_named(path, st)) {
                lock.fd_ = std::move(fd);
                ++locks_held;
                return lock;
            }
        }
        fd.reset();
        if (!wait_more()) return timed_out();
    }
}

RunLock::~RunLock() {
    if (fd_) --locks_held;
}

bool run_lock_held() { return locks_held > 0; }

}  // namespace devctl
