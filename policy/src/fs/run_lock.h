#pragma once
// The one lock that every writing run of the tool holds, so that no two runs
// read and rewrite the same files at once.
#include <chrono>
#include <functional>
#include <string>

#include "error/chained_error.h"
#include "fs/unique_fd.h"

namespace devctl {

inline constexpr const char* kRunLockPath = "/run/orvex2-devctl-module-tool.lock";

struct RunLockWait {
    std::chrono::milliseconds notice_after{1000};
    std::chrono::milliseconds give_up_after{60000};
    // Called once when the wait passes notice_after.
    std::function<void()> on_long_wait;
};

// An exclusive flock on a root-only lock file (the caller's own, mode 0600),
// held until destroyed. The file is created 0600 where missing; one that is
// not root-only is removed and created afresh, so no other user can open
// the file that gets locked, nor still have it open from before, let alone
// hold it. The path must still name the locked file once the lock is had,
// or the wait starts over. A lock file that cannot be opened or made
// root-only (no /run, a read-only one) or is not a regular file (a link, a
// FIFO, a directory) means no lock: the run goes on as it would without one.
class RunLock {
public:
    // Waits for the lock, over every start-over; the error is "timed out
    // waiting for PATH".
    static Result<RunLock> take(const std::string& path, const RunLockWait& wait);

    RunLock(RunLock&& other) noexcept = default;
    RunLock& operator=(RunLock&&) = delete;
    ~RunLock();

    bool held() const { return static_cast<bool>(fd_); }

private:
    RunLock() = default;
    UniqueFd fd_;
};

// Whether this process holds a run lock now: only then can no other run be
// writing beside the files this one writes.
bool run_lock_held();

}  // namespace devctl
