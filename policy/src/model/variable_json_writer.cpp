#include "model/variable_json.h"

namespace devctl {
namespace {

void write_strings(const StringList& list, json::Writer& w) {
    w.begin_array();
    for (const auto& text : list) w.string(text);
    w.end_array();
}

template <class E, class Name>
void write_members(const std::vector<E>& list, Name name, json::Writer& w) {
    w.begin_array();
    for (E member : list) w.string(name(member));
    w.end_array();
}

void write_optional(const std::optional<std::string>& text, json::Writer& w) {
    if (text) {
        w.string(*text);
    } else {
        w.null();
    }
}

void serialize_device_class(const DeviceClass& value, json::Writer& w) {
    w.begin_object();
    w.key("type");
    w.string(kDeviceClassTags[value.value.index()]);
    w.key("value");
    switch (value.kind()) {
        case DeviceClassKind::Interface:
            write_members(std::get<0>(value.value), interface_type_name, w);
            break;
        case DeviceClassKind::Device:
            write_members(std::get<1>(value.value), device_type_name, w);
            break;
        case DeviceClassKind::Usb:
            write_members(std::get<2>(value.value), usb_type_name, w);
            break;
    }
    w.end_object();
}

void serialize_pvid(const Pvid& pvid, json::Writer& w) {
    w.begin_object();
    w.key("usb_type");
    w.integer(pvid.usb_type);
    w.key("pid");
    w.unsigned_integer(pvid.pid);
    w.key("vid");
    w.unsigned_integer(pvid.vid);
    w.key("serial");
    write_optional(pvid.serial, w);
    w.key("name");
    write_optional(pvid.name, w);
    w.end_object();
}

void serialize_netcard(const Netcard& netcard, json::Writer& w) {
    w.begin_object();
    w.key("name");
    w.string(netcard.name);
    w.key("netcard_type");
    w.string(netcard_type_name(netcard.netcard_type));
    w.end_object();
}

template <class T, class Write>
void write_list(const std::vector<T>& list, Write write, json::Writer& w) {
    w.begin_array();
    for (const T& item : list) write(item, w);
    w.end_array();
}

void write_payload(const VariableTypes::Value& v, json::Writer& w) {
    switch (static_cast<VariableKind>(v.index())) {
        case VariableKind::Uid:
            write_list(std::get<0>(v), [](int32_t uid, json::Writer& out) { out.integer(uid); }, w);
            break;
        case VariableKind::Username: write_strings(std::get<1>(v), w); break;
        case VariableKind::Kmod: write_strings(std::get<2>(v), w); break;
        case VariableKind::Path: write_strings(std::get<3>(v), w); break;
        case VariableKind::Package: write_strings(std::get<4>(v), w); break;
        case VariableKind::DeviceClass: serialize_device_class(std::get<5>(v), w); break;
        case VariableKind::Pvid: write_list(std::get<6>(v), serialize_pvid, w); break;
        case VariableKind::Netcard: write_list(std::get<7>(v), serialize_netcard, w); break;
        case VariableKind::Func: write_strings(std::get<8>(v), w); break;
        case VariableKind::PathPackage: write_strings(std::get<9>(v), w); break;
        default: break;
    }
}

}  // namespace

void serialize_variable_types(const VariableTypes& value, json::Writer& w) {
    const auto& v = value.value;
    switch (value.kind()) {
        case VariableKind::String: w.string(std::get<10>(v)); return;
        case VariableKind::Int: w.integer(std::get<11>(v)); return;
        case VariableKind::Bool: w.boolean(std::get<12>(v)); return;
        default: break;
    }
    w.begin_object();
    w.key("type");
    w.string(kVariableTags[v.index()]);
    w.key("value");
    write_payload(v, w);
    w.end_object();
}

}  // namespace devctl
