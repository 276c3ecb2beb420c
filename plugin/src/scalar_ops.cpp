// Operations with at most a few scalar or text parameters and an int result.
#include <type_traits>

#include "backend.h"
#include "devctl_operations.h"
#include "operation_frame.h"

namespace {

using namespace devctl_ops;

// Args are the back end's arguments before the AddonInfo, read from "param1"
// onwards in that order.
template <class... Args, class Backend>
GVariant* scalar_operation(Backend backend, SceneKeys keys, ReplyRule rule, GVariant* params, GVariant* addon_info)
{
    static_assert(std::is_same_v<Backend, int (*)(Args..., AddonInfo)>);
    using Params = PositionalParams<Args...>;
    return run_operation(params, addon_info, keys, Params::read,
                         [&](const typename Params::Values& values, const AddonInfo& info) {
                             return reply_by_rule(rule, call_backend(backend, values, info));
                         });
}

}  // namespace

extern "C" {

GVariant* orvex_scene_plugin_devctl_get_status(GVariant* params, GVariant* addon_info) noexcept
{
    return scalar_operation<>(orvex_scene_get_devctl_status, kSceneAndSync, ReplyRule::Value, params,
                              addon_info);
}

GVariant* orvex_scene_plugin_devctl_get_status_from_conf(GVariant* params, GVariant* addon_info) noexcept
{
    return scalar_operation<>(orvex_scene_get_devctl_status_from_conf, kSceneAndSync, ReplyRule::Value,
                              params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_set_status(GVariant* params, GVariant* addon_info) noexcept
{
    return scalar_operation<int>(orvex_scene_set_devctl_status, kSceneSyncAndSwitch, ReplyRule::Setting,
                                 params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_is_type_disabled(GVariant* params, GVariant* addon_info) noexcept
{
    return scalar_operation<int, int>(orvex_scene_devctl_is_type_disabled, kSceneOnly, ReplyRule::Verdict,
                                      params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_is_pvid_disabled(GVariant* params, GVariant* addon_info) noexcept
{
    return scalar_operation<int, unsigned, unsigned, const char*>(
        orvex_scene_devctl_is_pvid_disabled, kSceneOnly, ReplyRule::Verdict, params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_is_netcard_disabled(GVariant* params, GVariant* addon_info) noexcept
{
    return scalar_operation<int, const char*>(orvex_scene_devctl_is_netcard_disabled, kSceneOnly,
                                              ReplyRule::Verdict, params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_get_pvid_perm(GVariant* params, GVariant* addon_info) noexcept
{
    return scalar_operation<int, unsigned, unsigned, const char*>(
        orvex_scene_devctl_get_pvid_perm, kSceneOnly, ReplyRule::Verdict, params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_set_usb_group_perm(GVariant* params, GVariant* addon_info) noexcept
{
    return scalar_operation<int>(orvex_scene_devctl_set_usb_group_perm, kNotSmSceneAndSync,
                                 ReplyRule::Setting, params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_get_usb_group_perm(GVariant* params, GVariant* addon_info) noexcept
{
    return scalar_operation<>(orvex_scene_devctl_get_usb_group_perm, kNotSmSceneAndSync, ReplyRule::Value,
                              params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_set_alarm_status(GVariant* params, GVariant* addon_info) noexcept
{
    return scalar_operation<int>(orvex_scene_devctl_set_alarm_status, kNotSmSceneAndSync, ReplyRule::Setting,
                                 params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_get_alarm_status(GVariant* params, GVariant* addon_info) noexcept
{
    return scalar_operation<>(orvex_scene_devctl_get_alarm_status, kNotSmSceneAndSync, ReplyRule::Value,
                              params, addon_info);
}

}  // extern "C"
