#include "policy/sync.h"

namespace devctl {

// Placeholder until the scene sync lands.
Status sync_all_scenes() { return fail(make_error("sync is not available")); }
Status sync_scene_by_path(const std::string&) { return fail(make_error("sync is not available")); }

}  // namespace devctl
