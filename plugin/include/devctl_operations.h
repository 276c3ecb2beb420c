/* The device-control operations that the framework's host finds by name.
 * Each takes the parameters and the caller's scene information as "a{sv}"
 * dictionaries, both borrowed and left unchanged, and returns a new reply
 * dictionary (see plugin_response.h) that the caller owns; none returns null.
 * Operations that take no parameters never look at params. Safe to call from
 * any thread at the same time. */
#ifndef ORVEX_DEVCTL_OPERATIONS_H
#define ORVEX_DEVCTL_OPERATIONS_H

#include <glib.h>

#include "plugin_export.h"

#ifdef __cplusplus
#define ORVEX_DEVCTL_NOEXCEPT noexcept
extern "C" {
#else
#define ORVEX_DEVCTL_NOEXCEPT
#endif

/* Scalar operations: status, disabled-state and permission queries, USB group
 * permission, alarm status. */
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_get_status(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_get_status_from_conf(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_set_status(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_is_type_disabled(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_is_pvid_disabled(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_is_netcard_disabled(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_get_pvid_perm(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_set_usb_group_perm(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_get_usb_group_perm(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_set_alarm_status(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_get_alarm_status(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;

/* Rules added or removed a batch at a time; the entries come as "aa{sv}"
 * under "param1". */
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_add_by_type(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_remove_by_type(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_add_by_pvid(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_remove_by_pvid(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_add_by_netcard_name(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_remove_by_netcard_name(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;

/* Queries answered with an "aa{sv}" list as "data". */
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_get_all_type(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_get_by_type(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_get_all_pvid(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_get_netcard(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;
ORVEX_PLUGIN_API GVariant* orvex_scene_plugin_devctl_read_sys_device_info(GVariant* params, GVariant* addon_info)
    ORVEX_DEVCTL_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif
