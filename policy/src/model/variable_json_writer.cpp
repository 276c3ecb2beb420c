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
    using D = DeviceClassKind;
    const auto& list = value.value;
    switch (value.kind()) {
        case D::Interface: write_members(std::get<kind_index<D::Interface>>(list), interface_type_name, w); break;
        case D::Device: write_members(std::get<kind_index<D::Device>>(list), device_type_name, w); break;
        case D::Usb: write_members(std::get<kind_index<D::Usb>>(list), usb_type_name, w); break;
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
    using K = VariableKind;
    switch (static_cast<K>(v.index())) {
        case K::Uid:
            write_list(std::get<kind_index<K::Uid>>(v), [](int32_t uid, json::Writer& out) { out.integer(uid); }, w);
            break;
        case K::Username: write_strings(std::get<kind_index<K::Username>>(v), w); break;
        case K::Kmod: write_strings(std::get<kind_index<K::Kmod>>(v), w); break;
        case K::Path: write_strings(std::get<kind_index<K::Path>>(v), w); break;
        case K::Package: write_strings(std::get<kind_index<K::Package>>(v), w); break;
        case K::DeviceClass: serialize_device_class(std::get<kind_index<K::DeviceClass>>(v), w); break;
        case K::Pvid: write_list(std::get<kind_index<K::Pvid>>(v), serialize_pvid, w); break;
        case K::Netcard: write_list(std::get<kind_index<K::Netcard>>(v), serialize_netcard, w); break;
        case K::Func: write_strings(std::get<kind_index<K::Func>>(v), w); break;
        case K::PathPackage: write_strings(std::get<kind_index<K::PathPackage>>(v), w); break;
        default: break;
    }
}

}  // namespace

void serialize_variable_types(const VariableTypes& value, json::Writer& w) {
    using K = VariableKind;
    const auto& v = value.value;
    switch (value.kind()) {
        case K::String: w.string(std::get<kind_index<K::String>>(v)); return;
        case K::Int: w.integer(std::get<kind_index<K::Int>>(v)); return;
        case K::Bool: w.boolean(std::get<kind_index<K::Bool>>(v)); return;
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
