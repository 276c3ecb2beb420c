// Feeds arbitrary serialized GVariants in normal form as params and
// addon_info to every operation, against the stand-in back end.
#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "devctl_operations.h"
#include "devctl_records.h"
#include "devctl_standin.h"
#include "fuzz_input.h"

namespace {

using Operation = GVariant* (*)(GVariant*, GVariant*);

constexpr Operation kOperations[] = {
    orvex_scene_plugin_devctl_get_status,          orvex_scene_plugin_devctl_get_status_from_conf,
    orvex_scene_plugin_devctl_set_status,          orvex_scene_plugin_devctl_is_type_disabled,
    orvex_scene_plugin_devctl_is_pvid_disabled,    orvex_scene_plugin_devctl_is_netcard_disabled,
    orvex_scene_plugin_devctl_get_pvid_perm,       orvex_scene_plugin_devctl_set_usb_group_perm,
    orvex_scene_plugin_devctl_get_usb_group_perm,  orvex_scene_plugin_devctl_set_alarm_status,
    orvex_scene_plugin_devctl_get_alarm_status,    orvex_scene_plugin_devctl_add_by_type,
    orvex_scene_plugin_devctl_remove_by_type,      orvex_scene_plugin_devctl_add_by_pvid,
    orvex_scene_plugin_devctl_remove_by_pvid,      orvex_scene_plugin_devctl_add_by_netcard_name,
    orvex_scene_plugin_devctl_remove_by_netcard_name, orvex_scene_plugin_devctl_get_all_type,
    orvex_scene_plugin_devctl_get_by_type,         orvex_scene_plugin_devctl_get_all_pvid,
    orvex_scene_plugin_devctl_get_netcard,         orvex_scene_plugin_devctl_read_sys_device_info,
};

// Records of the largest kind, so every list function gets whole records.
std::vector<unsigned char> list_bytes(const std::uint8_t* data, std::size_t size, int count)
{
    std::vector<unsigned char> bytes(sizeof(SysDeviceInfo) * static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < bytes.size() && size > 0; ++i) {
        bytes[i] = data[i % size];
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < ops_fuzz::kHeaderSize) {
        return 0;
    }
    const unsigned control = data[0];
    const int count = data[1];
    devctl_standin_reset();
    devctl_standin_set_result(ops_fuzz::kResults[control & 0x0f]);
    const std::vector<unsigned char> list = list_bytes(data, size, count < 4 ? count : 0);
    devctl_standin_set_list(count < 4 ? list.data() : nullptr, list.size(), count);

    g_autoptr(GVariant) serialized = g_variant_ref_sink(g_variant_new_from_data(
        G_VARIANT_TYPE("(vv)"), data + ops_fuzz::kHeaderSize, size - ops_fuzz::kHeaderSize, FALSE, nullptr, nullptr));
    // The host only ever hands over values in normal form (built by GDBus or
    // a builder). Others are skipped, not normalised: GLib itself can abort
    // while normalising some of them, before any operation runs.
    if (!g_variant_is_normal_form(serialized)) {
        return 0;
    }
    g_autoptr(GVariant) params = nullptr;
    g_autoptr(GVariant) addon_info = nullptr;
    g_variant_get(serialized, "(vv)", &params, &addon_info);

    for (Operation operation : kOperations) {
        GVariant* reply = operation((control & 0x10) != 0 ? nullptr : params,
                                    (control & 0x20) != 0 ? nullptr : addon_info);
        if (reply == nullptr || !g_variant_is_of_type(reply, G_VARIANT_TYPE_VARDICT)) {
            __builtin_trap();
        }
        // Sunk before it is released: a reply that is not floating leaks.
        g_variant_unref(g_variant_ref_sink(reply));
    }

    devctl_standin_reset();
    return 0;
}
