#pragma once
// Folding add-on policies into a scene policy file.
#include <string>
#include <vector>

#include "error/chained_error.h"

namespace devctl {

Status merge_policy_files(std::string base_on, std::vector<std::string> to_add, std::string output);

}  // namespace devctl
