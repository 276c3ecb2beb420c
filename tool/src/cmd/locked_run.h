#pragma once
// Commands that write run one at a time.
#include <functional>

#include "error/chained_error.h"

namespace devctl {

// Runs command while holding the run lock, from its first read to its last
// write; after a second of waiting for another run, says so once on standard
// error. A wait that times out fails without running command.
Status run_locked(const std::function<Status()>& command);

}  // namespace devctl
