#pragma once
// Each record's dictionary keys in record order, with the type and place of
// the field that holds them. Reading entries into records and turning
// returned records into dictionaries are both driven by these tables.
#include <array>
#include <cstddef>

#include "devctl_records.h"

namespace devctl_ops {

enum class FieldType { Int32, Uint32, Text };

struct RecordField {
    const char* key;  // the field's own name
    FieldType type;
    std::size_t offset;
    std::size_t size;
};

template <class Record>
struct RecordFields;

// Every field is named for its key, so the key is spelt once.
#define DEVCTL_FIELD(Record, member, type) \
    RecordField { #member, FieldType::type, offsetof(Record, member), sizeof(Record::member) }

template <>
struct RecordFields<DevctlTypeEntry> {
    static constexpr std::array fields{
        DEVCTL_FIELD(DevctlTypeEntry, devctl_type, Int32),
        DEVCTL_FIELD(DevctlTypeEntry, sub_type, Int32),
        DEVCTL_FIELD(DevctlTypeEntry, perm, Int32),
    };
};

template <>
struct RecordFields<DevctlPvidEntry> {
    static constexpr std::array fields{
        DEVCTL_FIELD(DevctlPvidEntry, usb_type, Int32), DEVCTL_FIELD(DevctlPvidEntry, pid, Uint32),
        DEVCTL_FIELD(DevctlPvidEntry, vid, Uint32),     DEVCTL_FIELD(DevctlPvidEntry, serial, Text),
        DEVCTL_FIELD(DevctlPvidEntry, perm, Int32),     DEVCTL_FIELD(DevctlPvidEntry, name, Text),
    };
};

template <>
struct RecordFields<DevctlNetcardEntry> {
    static constexpr std::array fields{
        DEVCTL_FIELD(DevctlNetcardEntry, name, Text),
        DEVCTL_FIELD(DevctlNetcardEntry, netcard_type, Int32),
    };
};

template <>
struct RecordFields<SysDeviceInfo> {
    static constexpr std::array fields{
        DEVCTL_FIELD(SysDeviceInfo, usb_type, Int32),       DEVCTL_FIELD(SysDeviceInfo, pid, Uint32),
        DEVCTL_FIELD(SysDeviceInfo, vid, Uint32),           DEVCTL_FIELD(SysDeviceInfo, perm, Int32),
        DEVCTL_FIELD(SysDeviceInfo, product, Text),         DEVCTL_FIELD(SysDeviceInfo, manufacturer, Text),
        DEVCTL_FIELD(SysDeviceInfo, serial, Text),          DEVCTL_FIELD(SysDeviceInfo, device_name, Text),
        DEVCTL_FIELD(SysDeviceInfo, display_name, Text),
    };
};

#undef DEVCTL_FIELD

}  // namespace devctl_ops
