#pragma once
// The device-control library the operations forward to, and the bounded copy
// that the host process provides. Texts are NUL-terminated bytes in buffers
// that the plug-in owns for the length of the call; lists are malloc'd by the
// library and freed by the plug-in.
#include <cstddef>

#include "devctl_records.h"

extern "C" {

int orvex_scene_get_devctl_status(AddonInfo info);
int orvex_scene_get_devctl_status_from_conf(AddonInfo info);
int orvex_scene_devctl_get_usb_group_perm(AddonInfo info);
int orvex_scene_devctl_get_alarm_status(AddonInfo info);

int orvex_scene_set_devctl_status(int status, AddonInfo info);
int orvex_scene_devctl_set_usb_group_perm(int perm, AddonInfo info);
int orvex_scene_devctl_set_alarm_status(int status, AddonInfo info);

int orvex_scene_devctl_is_type_disabled(int devctl_type, int sub_type, AddonInfo info);
int orvex_scene_devctl_is_pvid_disabled(int usb_type, unsigned pid, unsigned vid, const char* serial,
                                        AddonInfo info);
int orvex_scene_devctl_get_pvid_perm(int usb_type, unsigned pid, unsigned vid, const char* serial,
                                     AddonInfo info);
int orvex_scene_devctl_is_netcard_disabled(int netcard_type, const char* name, AddonInfo info);

int orvex_scene_add_devctl_by_type(const DevctlTypeEntry* entries, int count, AddonInfo info);
int orvex_scene_remove_devctl_by_type(const DevctlTypeEntry* entries, int count, AddonInfo info);
int orvex_scene_add_devctl_by_pvid(const DevctlPvidEntry* entries, int count, AddonInfo info);
int orvex_scene_remove_devctl_by_pvid(const DevctlPvidEntry* entries, int count, AddonInfo info);
int orvex_scene_add_devctl_by_netcard_name(const DevctlNetcardEntry* entries, int count, AddonInfo info);
int orvex_scene_remove_devctl_by_netcard_name(const DevctlNetcardEntry* entries, int count,
                                              AddonInfo info);

DevctlTypeEntry* orvex_scene_get_devctl_all_types(int* count, AddonInfo info);
DevctlTypeEntry* orvex_scene_get_devctl_by_type(int devctl_type, int* count, AddonInfo info);
DevctlPvidEntry* orvex_scene_get_devctl_all_pvid(int* count, AddonInfo info);
DevctlNetcardEntry* orvex_scene_get_devctl_netcard(int* count, AddonInfo info);
SysDeviceInfo* orvex_scene_read_sys_device_info(int* count, AddonInfo info);

// Resolved from the host process, not from a library of the plug-in: copies at
// most count bytes of src and always ends dest with a NUL within destsz.
int strncpy_s(char* dest, size_t destsz, const char* src, size_t count);

}  // extern "C"
