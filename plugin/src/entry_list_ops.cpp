// Rules added to or removed from a scene a batch at a time. One procedure for
// all six operations, driven by the record's field table.
#include <glib.h>

#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <span>

#include "backend.h"
#include "devctl_operations.h"
#include "operation_frame.h"
#include "record_fields.h"

namespace {

using namespace devctl_ops;

// One zero-filled block of records, lent to the back end for the call.
template <class Record>
struct Entries {
    std::unique_ptr<Record[], decltype(&g_free)> records;
    int count;
};

// The name of the first key of `fields` that the entry lacks, or null.
const char* fill_record(GVariant* entry, std::span<const RecordField> fields, char* record)
{
    std::optional<GLibHelper::DictView> view = GLibHelper::DictView::init(entry);
    for (const RecordField& field : fields) {
        if (!view || !read_field(*view, field, record)) {
            return field.key;
        }
    }
    return nullptr;
}

template <class Record>
Step<Entries<Record>> read_entries(GVariant* params)
{
    if (Step<GLibHelper::DictView> view = open_params(params); !view) {
        return view.error();
    }
    // Read through a dictionary as DictView reads every key, so that of a
    // repeated "param1" the last one counts.
    g_autoptr(GVariantDict) dict = g_variant_dict_new(params);
    g_autoptr(GVariant) list = g_variant_dict_lookup_value(dict, "param1", G_VARIANT_TYPE("aa{sv}"));
    GVariantIter iter;
    const gsize n = list == nullptr ? 0 : g_variant_iter_init(&iter, list);
    if (n == 0) {
        return missing_key("param1");
    }
    // The back end counts in an int: a longer list is refused like a failed
    // allocation.
    Entries<Record> entries{{nullptr, g_free}, 0};
    if (n <= static_cast<gsize>(INT_MAX)) {
        entries.records.reset(g_try_new0(Record, n));
        entries.count = static_cast<int>(n);
    }
    if (!entries.records) {
        return Failure{kUnknownCode, "calloc failed"};
    }
    for (gsize i = 0; i < n; ++i) {
        g_autoptr(GVariant) entry = g_variant_iter_next_value(&iter);
        auto* record = reinterpret_cast<char*>(&entries.records[i]);
        if (const char* missing = fill_record(entry, RecordFields<Record>::fields, record)) {
            return missing_key(missing);
        }
    }
    return entries;
}

template <class Record>
GVariant* entry_list_operation(int (*backend)(const Record*, int, AddonInfo), GVariant* params,
                               GVariant* addon_info)
{
    return run_operation(params, addon_info, kSceneAndSync, read_entries<Record>,
                         [&](const Entries<Record>& entries, const AddonInfo& info) {
                             return reply_by_rule(ReplyRule::CodeOnly,
                                                  backend(entries.records.get(), entries.count, info));
                         });
}

}  // namespace

extern "C" {

GVariant* orvex_scene_plugin_devctl_add_by_type(GVariant* params, GVariant* addon_info) noexcept
{
    return entry_list_operation(orvex_scene_add_devctl_by_type, params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_remove_by_type(GVariant* params, GVariant* addon_info) noexcept
{
    return entry_list_operation(orvex_scene_remove_devctl_by_type, params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_add_by_pvid(GVariant* params, GVariant* addon_info) noexcept
{
    return entry_list_operation(orvex_scene_add_devctl_by_pvid, params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_remove_by_pvid(GVariant* params, GVariant* addon_info) noexcept
{
    return entry_list_operation(orvex_scene_remove_devctl_by_pvid, params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_add_by_netcard_name(GVariant* params, GVariant* addon_info) noexcept
{
    return entry_list_operation(orvex_scene_add_devctl_by_netcard_name, params, addon_info);
}

GVariant* orvex_scene_plugin_devctl_remove_by_netcard_name(GVariant* params, GVariant* addon_info) noexcept
{
    return entry_list_operation(orvex_scene_remove_devctl_by_netcard_name, params, addon_info);
}

}  // extern "C"
