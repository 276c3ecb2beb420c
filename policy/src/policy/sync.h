#pragma once
// Scene sync: regenerate the rule files and have the interpreter load them.
#include <string>

#include "error/chained_error.h"

namespace devctl {

Status sync_all_scenes();
Status sync_scene_by_path(const std::string& file_path);

}  // namespace devctl
