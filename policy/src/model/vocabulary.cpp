#include "model/vocabulary.h"

#include <array>
#include <span>

namespace devctl {
namespace {

constexpr std::array<std::string_view, 11> kInterfaceNames = {
    "serial", "parallel", "ieee1394", "pcmcia", "typec", "hdmi",
    "dp",     "scanner",  "pcie",     "sata",   "mmc",
};

constexpr std::array<std::string_view, 18> kDeviceNames = {
    "bluetooth",     "infrared",    "modem",         "mmc",      "scsi_raid",
    "wince",         "floppy_drive", "video",        "multi_serial_card",
    "ethernet",      "wireless",    "printer",       "printer_local",
    "printer_net",   "cdrom",       "volume_shadow", "tape",     "audio_mic",
};

constexpr std::array<std::string_view, 21> kUsbNames = {
    "usb",          "per_interface", "audio",      "comm",
    "hid",          "physical",      "still_image", "printer",
    "mass_storage", "hub",           "cdc_data",   "cscid",
    "content_sec",  "video",         "wireless_controller", "misc",
    "app_spec",     "vendor_spec",   "personal_health",     "diagnostic",
    "8020",
};

constexpr std::array<std::string_view, 2> kNetcardNames = {"wireless_card", "netcard"};
constexpr std::array<std::string_view, 3> kInteractiveNames = {"disabled", "authorize", "notice"};
constexpr std::array<std::string_view, 2> kUsbGroupPermNames = {"enable", "disable"};

// The JSON library's text for a name that is not in the list.
std::string unknown_variant(std::string_view text, std::span<const std::string_view> names) {
    std::string out = "unknown variant `";
    out.append(text);
    out += "`, expected ";
    // Two names read "`a` or `b`", more "one of `a`, `b`, ...".
    const bool pair = names.size() == 2;
    if (!pair) out += "one of ";
    for (size_t i = 0; i < names.size(); ++i) {
        if (i) out += pair ? " or " : ", ";
        out += '`';
        out.append(names[i]);
        out += '`';
    }
    return out;
}

template <class E>
Expected<E, std::string> match_name(std::string_view text,
                                    std::span<const std::string_view> names, int first) {
    int index = find_name(text, names);
    if (index < 0) return Unexpected(unknown_variant(text, names));
    return static_cast<E>(index + first);
}

std::string invalid_value(std::string_view type, std::string_view text) {
    std::string out = "failed to convert to ";
    out.append(type);
    out += " :invalid value \"";
    out.append(text);
    out += '"';
    return out;
}

}  // namespace

std::string interface_type_name(InterfaceType value) {
    return std::string(kInterfaceNames[static_cast<size_t>(value) - 1]);
}

std::string device_type_name(DeviceType value) {
    return std::string(kDeviceNames[static_cast<size_t>(value) - 1]);
}

std::string usb_type_name(UsbType value) {
    return std::string(kUsbNames[static_cast<size_t>(value)]);
}

std::string netcard_type_name(NetcardType value) {
    return std::string(kNetcardNames[static_cast<size_t>(value) - 1]);
}

Expected<InterfaceType, std::string> interface_type_from_name(std::string_view text) {
    return match_name<InterfaceType>(text, kInterfaceNames, 1);
}

Expected<DeviceType, std::string> device_type_from_name(std::string_view text) {
    return match_name<DeviceType>(text, kDeviceNames, 1);
}

Expected<UsbType, std::string> usb_type_from_name(std::string_view text) {
    return match_name<UsbType>(text, kUsbNames, 0);
}

Expected<NetcardType, std::string> netcard_type_from_name(std::string_view text) {
    return match_name<NetcardType>(text, kNetcardNames, 1);
}

Expected<Interactive, std::string> interactive_from_str(std::string_view text) {
    int index = find_name(text, kInteractiveNames);
    if (index < 0) return Unexpected(invalid_value("Interactive", text));
    return static_cast<Interactive>(index);
}

std::string interactive_to_string(Interactive value) {
    return std::string(kInteractiveNames[static_cast<size_t>(value)]);
}

Expected<UsbGroupPerm, std::string> usb_group_perm_from_str(std::string_view text) {
    int index = find_name(text, kUsbGroupPermNames);
    if (index < 0) return Unexpected(invalid_value("UsbGroupPerm", text));
    return static_cast<UsbGroupPerm>(index + 1);
}

}  // namespace devctl
