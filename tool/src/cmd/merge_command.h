#pragma once
// The guard in front of the policy merge.
#include <string>
#include <vector>

#include "error/chained_error.h"
#include "policy/keep_alive.h"

namespace devctl {

// Merges only into the two scene policy files, named exactly so, and only
// when there is something to add; otherwise succeeds without touching anything
// (and without waiting for the run lock, which a merge holds throughout).
// What the merge read is left to keep.
Status merge_command(std::string base_on, std::vector<std::string> to_add, std::string output, KeepAlive& keep);

}  // namespace devctl
