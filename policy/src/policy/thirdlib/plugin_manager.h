#pragma once
// Hands a regenerated scene to the plug-in manager, which is loaded afresh
// for every call and closed again before returning.
#include <string>
#include <string_view>

#include "error/chained_error.h"

namespace devctl {

inline constexpr const char* kPluginManagerLibrary = "liborvex_scene_pluginmgr.so.0";
inline constexpr const char* kPluginManagerMergeSymbol = "orvex2_scene_plugin_merge_policy";
inline constexpr const char* kProductInfoPath = "/etc/.productinfo";

// DlopenError, DlsymError or MergePolicy on failure.
Status merge_via_plugin_manager(std::string_view scene_name);

}  // namespace devctl
