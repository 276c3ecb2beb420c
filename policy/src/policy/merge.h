#pragma once
// Folding add-on policies into a scene policy file.
#include <string>
#include <vector>

#include "error/chained_error.h"
#include "model/policy.h"
#include "policy/keep_alive.h"

namespace devctl {

// Reads the base and every add-on (stopping at the first failure, before
// anything is written), merges the add-ons in order and replaces output
// atomically, so a failed write leaves the old output intact.
Status merge_policy_files(std::string base_on, std::vector<std::string> to_add, std::string output);
// The same, leaving the policies it read to keep instead of destroying them.
Status merge_policy_files(std::string base_on, std::vector<std::string> to_add, std::string output,
                          KeepAlive& keep);

// Reads and parses one policy document. A parse error is wrapped as
// "failed to load base_on policy from <path>" / "failed to deserialize policy"
// whichever document it is; a read error comes back unchanged.
Result<Policy> load_policy(const std::string& path);

}  // namespace devctl
