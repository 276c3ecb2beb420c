#pragma once
// The fixed table of scenes: each scene's policy document and the rule file
// generated from it.
#include <array>
#include <string_view>

namespace devctl {

struct Scene {
    std::string_view name;         // the scene's identity towards the plug-in manager
    std::string_view scene_path;   // policy JSON, read
    std::string_view policy_path;  // rule text, written
};

// The scene names; the rule text also gives each of these scenes its own
// scene block, for a policy whose scene equals the name exactly.
inline constexpr std::string_view kDefenderScene = "vop_defender";
inline constexpr std::string_view kSmScene = "sm";

inline constexpr std::array<Scene, 2> SCENES{{
    {kDefenderScene, "/etc/orvex-scene/scene/vop_devctl.json", "/etc/orvex-scene/policy/vop_devctl.json.policy"},
    {kSmScene, "/etc/orvex-scene/scene/sm_devctl.json", "/etc/orvex-scene/policy/sm_devctl.json.policy"},
}};

// Marks a system whose scenes are registered with the plug-in manager.
inline constexpr std::string_view kRegisteredMarkerPath = "/etc/orvex-scene/.registered.json";

}  // namespace devctl
