#include "cmd/merge_command.h"

#include <algorithm>
#include <string_view>

#include "cmd/locked_run.h"
#include "policy/merge.h"
#include "policy/scenes.h"

namespace devctl {
namespace {

// Only the scene table's own policy files may be overwritten. Compared as
// typed: no normalisation, so another spelling of the same path is skipped.
bool is_scene_policy_file(std::string_view path) {
    return std::ranges::any_of(SCENES, [path](const Scene& scene) { return scene.scene_path == path; });
}

}  // namespace

Status merge_command(std::string base_on, std::vector<std::string> to_add, std::string output, KeepAlive& keep) {
    if (to_add.empty() || !is_scene_policy_file(output)) return {};
    return run_locked(
        [&] { return merge_policy_files(std::move(base_on), std::move(to_add), std::move(output), keep); });
}

}  // namespace devctl
