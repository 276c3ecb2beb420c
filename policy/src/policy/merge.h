#pragma once
// Folding add-on policies into a scene policy file: the file-level command
// and the in-memory overlay of one policy on another.
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

// Where a merge is at: the base scene, the module types and the variable
// name, outermost first. Only used to place a skipped variable in the log.
using MergePath = std::vector<std::string>;

// Display form of a merge path.
struct MergeLocation {
    const MergePath& path;
};

// The elements joined with "." and nothing else, empty elements included.
std::string to_string(const MergeLocation& location);

// Overlays add on base. Single values come from add; modules with the same
// key are merged, and the base keeps its shape: modules and variables only
// add has are not taken over. add is consumed (its texts, rules and list
// elements are moved, not copied); pass a copy to keep it. path is empty
// before and after the call. None of this can fail.
void merge_policy(Policy& base, Policy&& add, MergePath& path);

// Merges two values of one kind, consuming add; false (and nothing changed)
// when the kinds differ. Device classes of different sub-kinds count as
// merged unchanged.
bool merge_same_kind(VariableTypes& base, VariableTypes&& add);

}  // namespace devctl
