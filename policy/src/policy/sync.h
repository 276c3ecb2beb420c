#pragma once
// Scene sync: regenerate the rule files and have the interpreter load them.
#include <string>

#include "error/chained_error.h"
#include "policy/keep_alive.h"
#include "policy/scenes.h"

namespace devctl {

// Every scene whose document exists: rule file, plug-in manager, then one
// compile or deploy. Errors pass up unchanged. keep is left holding the last
// scene's policy and rule text (what it held before is destroyed).
Status sync_all_scenes(KeepAlive& keep);

enum class PathSync { Synced, NotPolicyFile };

// The one scene whose document path is exactly file_path. NotPolicyFile,
// with nothing done, when no scene has that path or its document is missing.
// The scene's policy and rule text are left to keep.
Result<PathSync> sync_scene_by_path(const std::string& file_path, KeepAlive& keep);

}  // namespace devctl
