// Interpreting a variable value's tree. Every failure here is the same
// single message, so the helpers only answer whether the tree fits.
#include <cstdint>
#include <utility>

#include "json/value_tree.h"
#include "model/variable_json.h"

namespace devctl {
namespace {

using json::Node;
using json::Number;
using json::ValueTree;

bool as_i32(const ValueTree&, const Node& v, int32_t& out) {
    if (v.kind != Node::Kind::Number) return false;
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

bool as_u32(const Node& v, uint32_t& out) {
    if (v.kind != Node::Kind::Number || v.number.kind != Number::Kind::Unsigned ||
        v.number.u > UINT32_MAX)
        return false;
    out = static_cast<uint32_t>(v.number.u);
    return true;
}

bool as_string(const ValueTree&, const Node& v, std::string& out) {
    if (v.kind != Node::Kind::String) return false;
    out.assign(v.text);
    return true;
}

bool as_optional_string(const Node& v, std::optional<std::string>& out) {
    if (v.kind == Node::Kind::Null) {
        out.reset();
        return true;
    }
    if (v.kind != Node::Kind::String) return false;
    out.emplace(v.text);
    return true;
}

// The members of an object with the given names, or the values of an array
// of exactly N elements in that order. Absent members stay null; a name
// given twice does not fit. Other members are ignored.
template <size_t N>
bool record_members(const ValueTree& tree, const Node& v,
                    const std::array<std::string_view, N>& names,
                    std::array<const Node*, N>& slots) {
    slots.fill(nullptr);
    if (v.kind == Node::Kind::Array) {
        if (v.size != N) return false;
        size_t i = 0;
        return tree.each_child(v, [&](const Node& item) {
            slots[i++] = &item;
            return true;
        });
    }
    if (v.kind != Node::Kind::Object) return false;
    return tree.each_child(v, [&](const Node& member) {
        int index = find_name(member.key, names);
        if (index < 0) return true;
        const Node*& slot = slots[static_cast<size_t>(index)];
        if (slot) return false;
        slot = &member;
        return true;
    });
}

constexpr std::array<std::string_view, 2> kTaggedKeys = {"type", "value"};

// The tag and the payload of a tagged value: {"type": t, "value": p, ...}
// or [t, p]. The tag is a name or an index into names.
template <size_t N>
bool split_tagged(const ValueTree& tree, const Node& v, const std::array<std::string_view, N>& names,
                  size_t& index, const Node*& payload) {
    std::array<const Node*, 2> slots;
    if (!record_members(tree, v, kTaggedKeys, slots) || !slots[0] || !slots[1]) return false;
    const Node& tag = *slots[0];
    payload = slots[1];
    if (tag.kind == Node::Kind::String) {
        int found = find_name(tag.text, names);
        index = static_cast<size_t>(found);
        return found >= 0;
    }
    index = static_cast<size_t>(tag.number.u);
    return tag.kind == Node::Kind::Number && tag.number.kind == Number::Kind::Unsigned &&
           tag.number.u < N;
}

template <class T, class Element>
bool as_list(const ValueTree& tree, const Node& v, std::vector<T>& out, Element element) {
    if (v.kind != Node::Kind::Array) return false;
    out.clear();
    out.reserve(v.size);
    return tree.each_child(v, [&](const Node& item) { return element(tree, item, out.emplace_back()); });
}

// A vocabulary member: "name", or {"name": null} / {"name": {}}.
template <class E, class Match>
bool as_member(const ValueTree& tree, const Node& v, E& out, Match match) {
    std::string_view name;
    if (v.kind == Node::Kind::String) {
        name = v.text;
    } else if (v.kind == Node::Kind::Object && v.size == 1) {
        const Node& unit = tree.node(v.first);
        bool empty = unit.kind == Node::Kind::Null || (unit.kind == Node::Kind::Object && unit.size == 0);
        if (!empty) return false;
        name = unit.key;
    } else {
        return false;
    }
    auto member = match(name);
    if (!member) return false;
    out = *member;
    return true;
}

template <class E, class Match>
bool as_member_list(const ValueTree& tree, const Node& v, std::vector<E>& out, Match match) {
    return as_list(tree, v, out, [&](const ValueTree& t, const Node& item, E& member) {
        return as_member(t, item, member, match);
    });
}

// The alternative of kind K (a VariableKind or DeviceClassKind), freshly
// constructed in value.
template <auto K, class Variant, class... Args>
auto& emplace_kind(Variant& value, Args&&... args) {
    return value.template emplace<kind_index<K>>(std::forward<Args>(args)...);
}

bool deserialize_device_class(const ValueTree& tree, const Node& v, DeviceClass& out) {
    const Node* payload;
    size_t index;
    if (!split_tagged(tree, v, kDeviceClassTags, index, payload)) return false;
    using D = DeviceClassKind;
    switch (static_cast<D>(index)) {
        case D::Interface:
            return as_member_list(tree, *payload, emplace_kind<D::Interface>(out.value), interface_type_from_name);
        case D::Device: return as_member_list(tree, *payload, emplace_kind<D::Device>(out.value), device_type_from_name);
        case D::Usb: return as_member_list(tree, *payload, emplace_kind<D::Usb>(out.value), usb_type_from_name);
    }
    return false;
}

constexpr std::array<std::string_view, 5> kPvidKeys = {"usb_type", "pid", "vid", "serial", "name"};

bool deserialize_pvid(const ValueTree& tree, const Node& v, Pvid& out) {
    std::array<const Node*, 5> f;
    if (!record_members(tree, v, kPvidKeys, f) || !f[0] || !f[1] || !f[2]) return false;
    return as_i32(tree, *f[0], out.usb_type) && as_u32(*f[1], out.pid) && as_u32(*f[2], out.vid) &&
           (!f[3] || as_optional_string(*f[3], out.serial)) &&
           (!f[4] || as_optional_string(*f[4], out.name));
}

constexpr std::array<std::string_view, 2> kNetcardKeys = {"name", "netcard_type"};

bool deserialize_netcard(const ValueTree& tree, const Node& v, Netcard& out) {
    std::array<const Node*, 2> f;
    return record_members(tree, v, kNetcardKeys, f) && f[0] && f[1] && as_string(tree, *f[0], out.name) &&
           as_member(tree, *f[1], out.netcard_type, netcard_type_from_name);
}

template <VariableKind K>
bool as_strings(const ValueTree& tree, const Node& payload, VariableTypes& out) {
    return as_list(tree, payload, emplace_kind<K>(out.value), as_string);
}

bool as_tagged(const ValueTree& tree, const Node& v, VariableTypes& out) {
    const Node* payload;
    size_t index;
    if (!split_tagged(tree, v, kVariableTags, index, payload)) return false;
    using K = VariableKind;
    switch (static_cast<K>(index)) {
        case K::Uid: return as_list(tree, *payload, emplace_kind<K::Uid>(out.value), as_i32);
        case K::Username: return as_strings<K::Username>(tree, *payload, out);
        case K::Kmod: return as_strings<K::Kmod>(tree, *payload, out);
        case K::Path: return as_strings<K::Path>(tree, *payload, out);
        case K::Package: return as_strings<K::Package>(tree, *payload, out);
        case K::DeviceClass: return deserialize_device_class(tree, *payload, emplace_kind<K::DeviceClass>(out.value));
        case K::Pvid: return as_list(tree, *payload, emplace_kind<K::Pvid>(out.value), deserialize_pvid);
        case K::Netcard: return as_list(tree, *payload, emplace_kind<K::Netcard>(out.value), deserialize_netcard);
        case K::Func: return as_strings<K::Func>(tree, *payload, out);
        case K::PathPackage: return as_strings<K::PathPackage>(tree, *payload, out);
        default: return false;
    }
}

bool as_untagged(const ValueTree& tree, const Node& v, VariableTypes& out) {
    switch (v.kind) {
        case Node::Kind::String: emplace_kind<VariableKind::String>(out.value, v.text); return true;
        case Node::Kind::Bool: emplace_kind<VariableKind::Bool>(out.value, v.boolean); return true;
        case Node::Kind::Number: return as_i32(tree, v, emplace_kind<VariableKind::Int>(out.value));
        default: return false;
    }
}

}  // namespace

bool deserialize_variable_types(json::Reader& reader, ValueTree& tree, VariableTypes& out) {
    if (!tree.read(reader)) return false;
    // Only arrays and objects can be tagged, only scalars untagged.
    const Node& root = tree.root();
    bool fits = root.kind == Node::Kind::Array || root.kind == Node::Kind::Object
                    ? as_tagged(tree, root, out)
                    : as_untagged(tree, root, out);
    if (fits) return true;
    return reader.fail_unplaced(std::string(kNoVariantMatched));
}

}  // namespace devctl
