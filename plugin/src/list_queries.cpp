// Queries that answer with the back end's list of records as an "aa{sv}".
#include <glib.h>

#include <cstring>
#include <span>
#include <type_traits>

#include "backend.h"
#include "devctl_operations.h"
#include "operation_frame.h"
#include "plugin_response.h"
#include "record_fields.h"

namespace {

using namespace devctl_ops;

constexpr const char* kRulesEmpty = "devctl policy list is null";
constexpr const char* kDevicesEmpty = "sys device list is null";

// A text field up to its first NUL and never past the field. Bytes that are
// not UTF-8 cannot form a GVariant string; each invalid sequence is sent as
// U+FFFD.
GVariant* text_value(const char* field, std::size_t size)
{
    const auto* nul = static_cast<const char*>(std::memchr(field, '\0', size));
    const std::size_t length = nul == nullptr ? size : static_cast<std::size_t>(nul - field);
    if (nul != nullptr && g_utf8_validate_len(field, length, nullptr)) {
        // Already validated: the bytes and their NUL are the serialized
        // string, so GLib need not check them again.
        g_autoptr(GBytes) bytes = g_bytes_new(field, length + 1);
        return g_variant_new_from_bytes(G_VARIANT_TYPE_STRING, bytes, TRUE);
    }
    return g_variant_new_take_string(g_utf8_make_valid(field, static_cast<gssize>(length)));
}

GVariant* field_value(const RecordField& field, const char* record)
{
    const char* at = record + field.offset;
    switch (field.type) {
    case FieldType::Int32: {
        std::int32_t value;
        std::memcpy(&value, at, sizeof value);
        return g_variant_new_int32(value);
    }
    case FieldType::Uint32: {
        std::uint32_t value;
        std::memcpy(&value, at, sizeof value);
        return g_variant_new_uint32(value);
    }
    case FieldType::Text:
        break;
    }
    return text_value(at, field.size);
}

void add_record(GVariantBuilder* array, std::span<const RecordField> fields, const char* record)
{
    g_variant_builder_open(array, G_VARIANT_TYPE_VARDICT);
    for (const RecordField& field : fields) {
        g_variant_builder_add_value(array, g_variant_new_dict_entry(g_variant_new_string(field.key),
                                                                    g_variant_new_variant(field_value(field, record))));
    }
    g_variant_builder_close(array);
}

// Takes over the list, whatever it holds. The back end allocates it with
// malloc, which g_free releases.
template <class Record>
GVariant* list_reply(Record* list, int count, const char* empty_message)
{
    g_autofree Record* records = list;
    if (records == nullptr || count < 1) {
        return encode_plugin_response_for_code(0, empty_message);
    }
    GVariantBuilder array;
    g_variant_builder_init(&array, G_VARIANT_TYPE("aa{sv}"));
    for (int i = 0; i < count; ++i) {
        add_record(&array, RecordFields<Record>::fields, reinterpret_cast<const char*>(&records[i]));
    }
    return encode_plugin_response(0, "success", g_variant_builder_end(&array));
}

// Args are the back end's arguments before the count, read from "param1"
// onwards.
template <class Record, class... Args, class Backend>
GVariant* list_query(Backend backend, SceneKeys keys, const char* empty_message, GVariant* params,
                     GVariant* addon_info)
{
    static_assert(std::is_same_v<Backend, Record* (*)(Args..., int*, AddonInfo)>);
    using Params = PositionalParams<Args...>;
    return run_operation(params, addon_info, keys, Params::read,
                         [&](const typename Params::Values& values, const AddonInfo& info) {
                             int count = 0;
                             Record* list = call_backend(backend, values, &count, info);
                             return list_reply(list, count, empty_message);
                         });
}

}  // namespace

extern "C" {

GVariant* orvex_scene_plugin_devctl_get_all_type(GVariant* params, GVariant* addon_info) noexcept
{
    return list_query<DevctlTypeEntry>(orvex_scene_get_devctl_all_types, kSceneOnly, kRulesEmpty, params,
                                       addon_info);
}

GVariant* orvex_scene_plugin_devctl_get_by_type(GVariant* params, GVariant* addon_info) noexcept
{
    return list_query<DevctlTypeEntry, int>(orvex_scene_get_devctl_by_type, kSceneOnly, kRulesEmpty, params,
                                            addon_info);
}

GVariant* orvex_scene_plugin_devctl_get_all_pvid(GVariant* params, GVariant* addon_info) noexcept
{
    return list_query<DevctlPvidEntry>(orvex_scene_get_devctl_all_pvid, kSceneOnly, kRulesEmpty, params,
                                       addon_info);
}

GVariant* orvex_scene_plugin_devctl_get_netcard(GVariant* params, GVariant* addon_info) noexcept
{
    return list_query<DevctlNetcardEntry>(orvex_scene_get_devctl_netcard, kSceneOnly, kRulesEmpty, params,
                                          addon_info);
}

GVariant* orvex_scene_plugin_devctl_read_sys_device_info(GVariant* params, GVariant* addon_info) noexcept
{
    return list_query<SysDeviceInfo>(orvex_scene_read_sys_device_info, kNoSceneKeys, kDevicesEmpty, params,
                                     addon_info);
}

}  // extern "C"
