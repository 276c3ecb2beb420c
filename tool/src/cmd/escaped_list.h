#pragma once
// The list of paths in the merge log line, each quoted as in diagnostics.
#include <string>
#include <vector>

#include "text/escaped_text.h"

namespace devctl {

// ["a", "b"], or [] when empty.
std::string escaped_list(const std::vector<std::string>& items);

}  // namespace devctl
