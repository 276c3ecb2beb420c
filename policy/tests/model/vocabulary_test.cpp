#include <gtest/gtest.h>

#include "model/vocabulary.h"

namespace devctl {
namespace {

TEST(Vocabulary, NamesByNumber) {
    EXPECT_EQ(interface_type_name(InterfaceType::Serial), "serial");
    EXPECT_EQ(interface_type_name(static_cast<InterfaceType>(11)), "mmc");
    EXPECT_EQ(device_type_name(static_cast<DeviceType>(1)), "bluetooth");
    EXPECT_EQ(device_type_name(static_cast<DeviceType>(4)), "mmc");
    EXPECT_EQ(device_type_name(static_cast<DeviceType>(15)), "cdrom");
    EXPECT_EQ(device_type_name(static_cast<DeviceType>(18)), "audio_mic");
    EXPECT_EQ(usb_type_name(static_cast<UsbType>(0)), "usb");
    EXPECT_EQ(usb_type_name(static_cast<UsbType>(4)), "hid");
    EXPECT_EQ(usb_type_name(static_cast<UsbType>(8)), "mass_storage");
    EXPECT_EQ(usb_type_name(static_cast<UsbType>(9)), "hub");
    EXPECT_EQ(usb_type_name(static_cast<UsbType>(20)), "8020");
    EXPECT_EQ(netcard_type_name(NetcardType::WirelessCard), "wireless_card");
    EXPECT_EQ(netcard_type_name(NetcardType::Netcard), "netcard");
    EXPECT_EQ(interactive_to_string(Interactive::Notice), "notice");
    EXPECT_EQ(interactive_to_string(Interactive::Disabled), "disabled");
}

// Every name reads back as its own member.
TEST(Vocabulary, MatchersInvertNames) {
    for (int i = 1; i <= 11; ++i)
        EXPECT_EQ(interface_type_from_name(interface_type_name(static_cast<InterfaceType>(i))), static_cast<InterfaceType>(i));
    for (int i = 1; i <= 18; ++i)
        EXPECT_EQ(device_type_from_name(device_type_name(static_cast<DeviceType>(i))), static_cast<DeviceType>(i));
    for (int i = 0; i <= 20; ++i)
        EXPECT_EQ(usb_type_from_name(usb_type_name(static_cast<UsbType>(i))), static_cast<UsbType>(i));
    EXPECT_EQ(netcard_type_from_name("netcard"), NetcardType::Netcard);
}

TEST(Vocabulary, ExactMatchingAndErrorTexts) {
    struct Case {
        Expected<int, std::string> got;
        std::string error;
    };
    auto num = [](auto result) -> Expected<int, std::string> {
        if (!result) return Unexpected(result.error());
        return static_cast<int>(*result);
    };
    const Case cases[] = {
        {num(usb_type_from_name("Hid")),
         "unknown variant `Hid`, expected one of `usb`, `per_interface`, `audio`, `comm`, `hid`, `physical`, "
         "`still_image`, `printer`, `mass_storage`, `hub`, `cdc_data`, `cscid`, `content_sec`, `video`, "
         "`wireless_controller`, `misc`, `app_spec`, `vendor_spec`, `personal_health`, `diagnostic`, `8020`"},
        {num(interface_type_from_name(" serial")),
         "unknown variant ` serial`, expected one of `serial`, `parallel`, `ieee1394`, `pcmcia`, `typec`, "
         "`hdmi`, `dp`, `scanner`, `pcie`, `sata`, `mmc`"},
        {num(device_type_from_name("")),
         "unknown variant ``, expected one of `bluetooth`, `infrared`, `modem`, `mmc`, `scsi_raid`, `wince`, "
         "`floppy_drive`, `video`, `multi_serial_card`, `ethernet`, `wireless`, `printer`, `printer_local`, "
         "`printer_net`, `cdrom`, `volume_shadow`, `tape`, `audio_mic`"},
        {num(netcard_type_from_name("net")), "unknown variant `net`, expected `wireless_card` or `netcard`"},
        {num(interactive_from_str("Notice")), "failed to convert to Interactive :invalid value \"Notice\""},
        {num(interactive_from_str("")), "failed to convert to Interactive :invalid value \"\""},
        {num(interactive_from_str("notice ")), "failed to convert to Interactive :invalid value \"notice \""},
        {num(usb_group_perm_from_str("Enable")), "failed to convert to UsbGroupPerm :invalid value \"Enable\""},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(c.got);
        EXPECT_EQ(c.got.error(), c.error);
    }
    EXPECT_EQ(interactive_from_str("notice"), Interactive::Notice);
    EXPECT_EQ(interactive_from_str("authorize"), Interactive::Authorize);
    EXPECT_EQ(usb_group_perm_from_str("enable"), UsbGroupPerm::Enable);
    EXPECT_EQ(usb_group_perm_from_str("disable"), UsbGroupPerm::Disable);
    EXPECT_EQ(static_cast<int>(UsbGroupPerm::Disable), 2);
}

}  // namespace
}  // namespace devctl
