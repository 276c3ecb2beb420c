// Interpreting a variable value's tree. Every failure here is the same
// single message, so the helpers only answer whether the tree fits; strings
// are moved out of the tree, which is dropped afterwards.
#include <cstdint>

#include "json/value_tree.h"
#include "model/variable_json.h"

namespace devctl {
namespace {

using json::Number;
using json::Value;

bool as_i32(const Value& v, int32_t& out) {
    if (v.kind != Value::Kind::Number) return false;
    const Number& n = v.number;
    if (n.kind == Number::Kind::Unsigned && n.u <= INT32_MAX) {
        out = static_cast<int32_t>(n.u);
        return true;
    }
    if (n.kind == Number::Kind::Negative && n.i >= INT32_MIN) {
        out = static_cast<int32_t>(n.i);
        return true;
    }
    return false;
}

bool as_u32(const Value& v, uint32_t& out) {
    if (v.kind != Value::Kind::Number || v.number.kind != Number::Kind::Unsigned ||
        v.number.u > UINT32_MAX)
        return false;
    out = static_cast<uint32_t>(v.number.u);
    return true;
}

bool as_string(Value& v, std::string& out) {
    if (v.kind != Value::Kind::String) return false;
    out = std::move(v.text);
    return true;
}

bool as_optional_string(Value& v, std::optional<std::string>& out) {
    if (v.kind == Value::Kind::Null) {
        out.reset();
        return true;
    }
    if (v.kind != Value::Kind::String) return false;
    out = std::move(v.text);
    return true;
}

template <size_t N>
int name_index(std::string_view text, const std::array<std::string_view, N>& names) {
    for (size_t i = 0; i < N; ++i)
        if (names[i] == text) return static_cast<int>(i);
    return -1;
}

// The members of an object with the given names (null when absent); false
// when one of them occurs twice. Other members are ignored.
template <size_t N>
bool pick_members(Value& object, const std::array<std::string_view, N>& names,
                  std::array<Value*, N>& slots) {
    slots.fill(nullptr);
    for (size_t i = 0; i < object.keys.size(); ++i) {
        int index = name_index(object.keys[i], names);
        if (index < 0) continue;
        if (slots[static_cast<size_t>(index)]) return false;
        slots[static_cast<size_t>(index)] = &object.items[i];
    }
    return true;
}

// An object of exactly these members, or an array of their values in order.
template <size_t N>
bool record_members(Value& v, const std::array<std::string_view, N>& names,
                    std::array<Value*, N>& slots) {
    if (v.kind == Value::Kind::Array) {
        if (v.items.size() != N) return false;
        for (size_t i = 0; i < N; ++i) slots[i] = &v.items[i];
        return true;
    }
    return v.kind == Value::Kind::Object && pick_members(v, names, slots);
}

constexpr std::array<std::string_view, 2> kTaggedKeys = {"type", "value"};

// The tag and the payload of a tagged value: {"type": t, "value": p, ...}
// or [t, p]. The tag is a name or an index into names.
template <size_t N>
bool split_tagged(Value& v, const std::array<std::string_view, N>& names, size_t& index,
                  Value*& payload) {
    std::array<Value*, 2> slots;
    if (!record_members(v, kTaggedKeys, slots) || !slots[0] || !slots[1]) return false;
    const Value& tag = *slots[0];
    payload = slots[1];
    if (tag.kind == Value::Kind::String) {
        int found = name_index(tag.text, names);
        index = static_cast<size_t>(found);
        return found >= 0;
    }
    index = static_cast<size_t>(tag.number.u);
    return tag.kind == Value::Kind::Number && tag.number.kind == Number::Kind::Unsigned &&
           tag.number.u < N;
}

template <class T, class Element>
bool as_list(Value& v, std::vector<T>& out, Element element) {
    if (v.kind != Value::Kind::Array) return false;
    out.clear();
    out.reserve(v.items.size());
    for (Value& item : v.items)
        if (!element(item, out.emplace_back())) return false;
    return true;
}

// A vocabulary member: "name", or {"name": null} / {"name": {}}.
template <class E, class Match>
bool as_member(Value& v, E& out, Match match) {
    const std::string* name = nullptr;
    if (v.kind == Value::Kind::String) {
        name = &v.text;
    } else if (v.kind == Value::Kind::Object && v.keys.size() == 1) {
        const Value& unit = v.items[0];
        bool empty = unit.kind == Value::Kind::Null ||
                     (unit.kind == Value::Kind::Object && unit.keys.empty());
        if (!empty) return false;
        name = &v.keys[0];
    } else {
        return false;
    }
    auto member = match(*name);
    if (!member) return false;
    out = *member;
    return true;
}

template <class E, class Match>
bool as_member_list(Value& v, std::vector<E>& out, Match match) {
    return as_list(v, out, [&](Value& item, E& member) { return as_member(item, member, match); });
}

bool as_device_class(Value& v, DeviceClass& out) {
    Value* payload;
    size_t index;
    if (!split_tagged(v, kDeviceClassTags, index, payload)) return false;
    switch (static_cast<DeviceClassKind>(index)) {
        case DeviceClassKind::Interface:
            return as_member_list(*payload, out.value.emplace<0>(), interface_type_from_name);
        case DeviceClassKind::Device:
            return as_member_list(*payload, out.value.emplace<1>(), device_type_from_name);
        case DeviceClassKind::Usb:
            return as_member_list(*payload, out.value.emplace<2>(), usb_type_from_name);
    }
    return false;
}

constexpr std::array<std::string_view, 5> kPvidKeys = {"usb_type", "pid", "vid", "serial", "name"};

bool as_pvid(Value& v, Pvid& out) {
    std::array<Value*, 5> f;
    if (!record_members(v, kPvidKeys, f) || !f[0] || !f[1] || !f[2]) return false;
    return as_i32(*f[0], out.usb_type) && as_u32(*f[1], out.pid) && as_u32(*f[2], out.vid) &&
           (!f[3] || as_optional_string(*f[3], out.serial)) &&
           (!f[4] || as_optional_string(*f[4], out.name));
}

constexpr std::array<std::string_view, 2> kNetcardKeys = {"name", "netcard_type"};

bool as_netcard(Value& v, Netcard& out) {
    std::array<Value*, 2> f;
    return record_members(v, kNetcardKeys, f) && f[0] && f[1] && as_string(*f[0], out.name) &&
           as_member(*f[1], out.netcard_type, netcard_type_from_name);
}

template <size_t K>
bool as_strings(Value& payload, VariableTypes& out) {
    return as_list(payload, out.value.emplace<K>(), as_string);
}

bool as_tagged(Value& v, VariableTypes& out) {
    Value* payload;
    size_t index;
    if (!split_tagged(v, kVariableTags, index, payload)) return false;
    switch (static_cast<VariableKind>(index)) {
        case VariableKind::Uid: return as_list(*payload, out.value.emplace<0>(), as_i32);
        case VariableKind::Username: return as_strings<1>(*payload, out);
        case VariableKind::Kmod: return as_strings<2>(*payload, out);
        case VariableKind::Path: return as_strings<3>(*payload, out);
        case VariableKind::Package: return as_strings<4>(*payload, out);
        case VariableKind::DeviceClass: return as_device_class(*payload, out.value.emplace<5>());
        case VariableKind::Pvid: return as_list(*payload, out.value.emplace<6>(), as_pvid);
        case VariableKind::Netcard: return as_list(*payload, out.value.emplace<7>(), as_netcard);
        case VariableKind::Func: return as_strings<8>(*payload, out);
        case VariableKind::PathPackage: return as_strings<9>(*payload, out);
        default: return false;
    }
}

bool as_untagged(Value& v, VariableTypes& out) {
    switch (v.kind) {
        case Value::Kind::String: out.value.emplace<10>(std::move(v.text)); return true;
        case Value::Kind::Bool: out.value.emplace<12>(v.boolean); return true;
        case Value::Kind::Number: return as_i32(v, out.value.emplace<11>());
        default: return false;
    }
}

}  // namespace

bool deserialize_variable_types(json::Reader& reader, VariableTypes& out) {
    Value tree;
    if (!json::read_value(reader, tree)) return false;
    // Only arrays and objects can be tagged, only scalars untagged, so the
    // tagged attempt may consume the tree.
    bool fits = tree.kind == Value::Kind::Array || tree.kind == Value::Kind::Object
                    ? as_tagged(tree, out)
                    : as_untagged(tree, out);
    if (fits) return true;
    return reader.fail_unplaced(std::string(kNoVariantMatched));
}

}  // namespace devctl
