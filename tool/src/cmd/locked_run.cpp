#include "cmd/locked_run.h"

#include <unistd.h>

#include "fs/run_lock.h"
#include "fs/write_all.h"

namespace devctl {

Status run_locked(const std::function<Status()>& command) {
    RunLockWait wait;
    wait.on_long_wait = [] {
        write_all(STDERR_FILENO, "waiting for another orvex2-devctl-module-tool run to finish\n");
    };
    auto lock = RunLock::take(kRunLockPath, wait);
    if (!lock) return fail(std::move(lock.error()));
    return command();
}

}  // namespace devctl
