#pragma once
// The six closed vocabularies of the policy documents. The enumerator values
// are the numbers other code prints or compares.
#include <cstdint>

namespace devctl {

enum class InterfaceType : uint8_t {
    Serial = 1, Parallel, Ieee1394, Pcmcia, Typec, Hdmi, Dp, Scanner, Pcie, Sata, Mmc,
};

enum class DeviceType : uint8_t {
    Bluetooth = 1, Infrared, Modem, Mmc, ScsiRaid, Wince, FloppyDrive, Video,
    MultiSerialCard, Ethernet, Wireless, Printer, PrinterLocal, PrinterNet, Cdrom,
    VolumeShadow, Tape, AudioMic,
};

enum class UsbType : uint8_t {
    Usb = 0, PerInterface, Audio, Comm, Hid, Physical, StillImage, Printer, MassStorage,
    Hub, CdcData, Cscid, ContentSec, Video, WirelessController, Misc, AppSpec, VendorSpec,
    PersonalHealth, Diagnostic, Usb8020,
};

enum class NetcardType : uint8_t { WirelessCard = 1, Netcard = 2 };

enum class Interactive : uint8_t { Disabled = 0, Authorize = 1, Notice = 2 };

enum class UsbGroupPerm : uint8_t { Enable = 1, Disable = 2 };

}  // namespace devctl

#include <span>
#include <string>
#include <string_view>

#include "error/expected.h"

namespace devctl {

// Position of text in names, compared exactly, or -1.
inline int find_name(std::string_view text, std::span<const std::string_view> names) {
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == text) return static_cast<int>(i);
    return -1;
}

// JSON names of the members.
std::string interface_type_name(InterfaceType value);
std::string device_type_name(DeviceType value);
std::string usb_type_name(UsbType value);
std::string netcard_type_name(NetcardType value);

// Exact, case-sensitive matchers; the error is the JSON library's
// "unknown variant `x`, expected one of `a`, `b`, ..." text.
Expected<InterfaceType, std::string> interface_type_from_name(std::string_view text);
Expected<DeviceType, std::string> device_type_from_name(std::string_view text);
Expected<UsbType, std::string> usb_type_from_name(std::string_view text);
Expected<NetcardType, std::string> netcard_type_from_name(std::string_view text);

Expected<Interactive, std::string> interactive_from_str(std::string_view text);
std::string interactive_to_string(Interactive value);

Expected<UsbGroupPerm, std::string> usb_group_perm_from_str(std::string_view text);

}  // namespace devctl
