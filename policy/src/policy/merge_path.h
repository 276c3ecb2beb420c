#pragma once
// Where a merge is at: the base scene, the module types and the variable
// name, outermost first. Only used to place a skipped variable in the log.
#include <string>
#include <vector>

namespace devctl {

using MergePath = std::vector<std::string>;

// Display form of a merge path.
struct MergeLocation {
    const MergePath& path;
};

// The elements joined with "." and nothing else, empty elements included.
std::string to_string(const MergeLocation& location);

}  // namespace devctl
