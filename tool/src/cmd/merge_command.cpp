#include "cmd/merge_command.h"

#include <string_view>

#include "policy/merge.h"

namespace devctl {
namespace {

// Compared as typed: no normalisation, so another spelling of the same path is skipped.
bool is_scene_policy_file(std::string_view path) {
    return path == "/etc/orvex-scene/scene/sm_devctl.json" || path == "/etc/orvex-scene/scene/vop_devctl.json";
}

}  // namespace

Status merge_command(std::string base_on, std::vector<std::string> to_add, std::string output) {
    if (to_add.empty() || !is_scene_policy_file(output)) return {};
    return merge_policy_files(std::move(base_on), std::move(to_add), std::move(output));
}

}  // namespace devctl
