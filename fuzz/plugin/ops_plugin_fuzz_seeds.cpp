// Writes well-formed requests as a starting corpus for ops_plugin_fuzz, and
// one that is not in normal form, which the target must skip.
#include <glib.h>

#include <cstdio>
#include <string>

#include "fuzz_input.h"

namespace {

GVariant* entry_list(const char* entry_format, int n)
{
    GVariantBuilder list;
    g_variant_builder_init(&list, G_VARIANT_TYPE("aa{sv}"));
    for (int i = 0; i < n; ++i) {
        g_variant_builder_add_parsed(&list, entry_format);
    }
    return g_variant_builder_end(&list);
}

// Two header bytes, then a "(vv)" whose normalising makes GLib 2.74 abort.
const std::string kNotNormal("\x00\x00\x01\x00\x00\x00\x00\x75\x00", 9);

void write_bytes(const std::string& path, const std::string& bytes)
{
    g_autoptr(GError) error = nullptr;
    if (!g_file_set_contents(path.c_str(), bytes.data(), static_cast<gssize>(bytes.size()), &error)) {
        std::fprintf(stderr, "%s\n", error->message);
    }
}

void write_seed(const std::string& dir, int index, unsigned char control, unsigned char list, GVariant* params,
                GVariant* addon_info)
{
    g_autoptr(GVariant) request = g_variant_ref_sink(g_variant_new("(vv)", params, addon_info));
    std::string bytes{static_cast<char>(control), static_cast<char>(list)};
    bytes.append(static_cast<const char*>(g_variant_get_data(request)), g_variant_get_size(request));
    write_bytes(dir + "/seed-" + std::to_string(index), bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const char* addons[] = {
        "{'scene': <'vop_defender'>, 'sync': <uint32 1>, 'scene_switch': <uint32 2>}",
        "{'scene': <'sm'>, 'sync': <uint32 0>}",
        "{'scene': <''>}",
    };
    GVariant* params[] = {
        g_variant_new_parsed("{'param1': <3>, 'param2': <uint32 4>, 'param3': <uint32 5>, 'param4': <'ab'>}"),
        g_variant_new_parsed("{'param1': <-1>, 'param2': <'eth0'>}"),
        g_variant_new_parsed("{'param1': <1>, 'param2': <2>}"),
        g_variant_new_parsed("{'param1': %v}",
                             entry_list("{'devctl_type': <1>, 'sub_type': <2>, 'perm': <3>}", 2)),
        g_variant_new_parsed("{'param1': %v}",
                             entry_list("{'usb_type': <1>, 'pid': <uint32 2>, 'vid': <uint32 3>, "
                                        "'serial': <'s'>, 'perm': <4>, 'name': <'n'>}",
                                        2)),
        g_variant_new_parsed("{'param1': %v}", entry_list("{'name': <'wlan0'>, 'netcard_type': <1>}", 3)),
    };
    int index = 0;
    for (GVariant* p : params) {
        g_variant_ref_sink(p);
        for (const char* addon : addons) {
            for (unsigned char list = 0; list < 3; ++list) {
                write_seed(dir, index, static_cast<unsigned char>(index % 16), list, p, g_variant_new_parsed(addon));
                ++index;
            }
        }
        g_variant_unref(p);
    }
    write_bytes(dir + "/seed-not-normal", kNotNormal);
    return 0;
}
