#pragma once
// Scene sync: regenerate the rule files and have the interpreter load them.
#include <string>

#include "error/chained_error.h"
#include "policy/scenes.h"

namespace devctl {

// Every scene whose document exists: rule file, plug-in manager, then one
// compile or deploy. Errors pass up unchanged.
Status sync_all_scenes();

enum class PathSync { Synced, NotPolicyFile };

// The one scene whose document path is exactly file_path. NotPolicyFile,
// with nothing done, when no scene has that path or its document is missing.
Result<PathSync> sync_scene_by_path(const std::string& file_path);

}  // namespace devctl
