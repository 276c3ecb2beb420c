#pragma once
// JSON form of variable values: read into a value tree first, then tried as
// a tagged kind, then as a bare string, integer or boolean.
#include <array>
#include <string_view>

#include "json/reader.h"
#include "json/value_tree.h"
#include "json/writer.h"
#include "model/policy.h"

namespace devctl {

// Tag names of the ten tagged kinds, by VariableKind.
inline constexpr std::array<std::string_view, 10> kVariableTags = {
    "uid", "username", "kmod", "path", "package", "device_class", "pvid", "netcard", "func",
    "path_package",
};

// Tag names of the device-class lists, by DeviceClassKind.
inline constexpr std::array<std::string_view, 3> kDeviceClassTags = {"interface", "device", "usb"};

inline constexpr std::string_view kNoVariantMatched =
    "data did not match any variant of untagged enum VariableTypes";

// Reader errors keep their position; a value that fits no alternative fails
// with kNoVariantMatched, placed where the enclosing record ends. The tree
// is working space, reused from one value to the next.
bool deserialize_variable_types(json::Reader& reader, json::ValueTree& tree, VariableTypes& out);

void serialize_variable_types(const VariableTypes& value, json::Writer& writer);

}  // namespace devctl
