#pragma once
// The fixed-size C records shared with the device-control library. Their
// layout is binding on both sides (little-endian, 4-byte alignment, no packing),
// hence an assertion on every size and offset.
#include <cstddef>
#include <cstdint>

extern "C" {

// The caller's scene information, passed by value to every back-end function.
struct AddonInfo {
    char scene[256];
    uint32_t sync;
    uint32_t scene_switch;
};

// A rule by device type.
struct DevctlTypeEntry {
    int32_t devctl_type;
    int32_t sub_type;
    int32_t perm;
};

// A rule by USB device id.
struct DevctlPvidEntry {
    int32_t usb_type;
    uint32_t pid;
    uint32_t vid;
    char serial[256];
    int32_t perm;
    char name[256];
};

// A rule by network-card name.
struct DevctlNetcardEntry {
    char name[128];
    int32_t netcard_type;
};

// One device present in the system, as the back end reports it.
struct SysDeviceInfo {
    int32_t usb_type;
    uint32_t pid;
    uint32_t vid;
    int32_t perm;
    char product[128];
    char manufacturer[128];
    char serial[128];
    char device_name[30];
    // Declared to the end of the record so the whole tail is one text field.
    char display_name[258];
};

}  // extern "C"

static_assert(sizeof(AddonInfo) == 264 && alignof(AddonInfo) == 4);
static_assert(offsetof(AddonInfo, scene) == 0);
static_assert(offsetof(AddonInfo, sync) == 256);
static_assert(offsetof(AddonInfo, scene_switch) == 260);

static_assert(sizeof(DevctlTypeEntry) == 12 && alignof(DevctlTypeEntry) == 4);
static_assert(offsetof(DevctlTypeEntry, devctl_type) == 0);
static_assert(offsetof(DevctlTypeEntry, sub_type) == 4);
static_assert(offsetof(DevctlTypeEntry, perm) == 8);

static_assert(sizeof(DevctlPvidEntry) == 528 && alignof(DevctlPvidEntry) == 4);
static_assert(offsetof(DevctlPvidEntry, usb_type) == 0);
static_assert(offsetof(DevctlPvidEntry, pid) == 4);
static_assert(offsetof(DevctlPvidEntry, vid) == 8);
static_assert(offsetof(DevctlPvidEntry, serial) == 12);
static_assert(offsetof(DevctlPvidEntry, perm) == 268);
static_assert(offsetof(DevctlPvidEntry, name) == 272);

static_assert(sizeof(DevctlNetcardEntry) == 132 && alignof(DevctlNetcardEntry) == 4);
static_assert(offsetof(DevctlNetcardEntry, name) == 0);
static_assert(offsetof(DevctlNetcardEntry, netcard_type) == 128);

static_assert(sizeof(SysDeviceInfo) == 688 && alignof(SysDeviceInfo) == 4);
static_assert(offsetof(SysDeviceInfo, usb_type) == 0);
static_assert(offsetof(SysDeviceInfo, pid) == 4);
static_assert(offsetof(SysDeviceInfo, vid) == 8);
static_assert(offsetof(SysDeviceInfo, perm) == 12);
static_assert(offsetof(SysDeviceInfo, product) == 16);
static_assert(offsetof(SysDeviceInfo, manufacturer) == 144);
static_assert(offsetof(SysDeviceInfo, serial) == 272);
static_assert(offsetof(SysDeviceInfo, device_name) == 400);
static_assert(offsetof(SysDeviceInfo, display_name) == 430);
