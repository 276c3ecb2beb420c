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

// An exclusive flock on a root-only (0600) lock file, held until destroyed.
// The file is created where missing and made 0600 and the caller's own where
// it was not, so no other user can open it, let alone hold it. A lock file
// that cannot be opened (no /run, a read-only one) or is not a regular file
// means no lock: the run goes on as it would without one.
class RunLock {
public:
    // Waits for the lock; the error is "timed out waiting for PATH".
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
