// Rules added to or removed from a scene a batch at a time. One procedure for
// all six operations, driven by the record's field table.
#include <glib.h>

#include <climits>
#include <cstdlib>
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

// The child dictionaries that DictView::getDictArray hands out.
class DictList {
public:
    DictList(GVariant** items, std::size_t count) : items_(items), count_(count) {}
    DictList(const DictList&) = delete;
    DictList& operator=(const DictList&) = delete;
    ~DictList()
    {
        if (items_ == nullptr) {
            return;
        }
        for (std::size_t i = 0; i < count_; ++i) {
            g_variant_unref(items_[i]);
        }
        g_free(items_);
    }

    bool empty() const { return items_ == nullptr || count_ == 0; }
    std::size_t size() const { return count_; }
    GVariant* operator[](std::size_t i) const { return items_[i]; }

private:
    GVariant** items_;
    std::size_t count_;
};

struct FreeRecords {
    void operator()(void* records) const { std::free(records); }
};

template <class Record>
struct Entries {
    std::unique_ptr<Record[], FreeRecords> records;
    int count;
};

bool read_field(const GLibHelper::DictView& entry, const RecordField& field, char* record)
{
    switch (field.type) {
    case FieldType::Int32:
        if (std::optional<std::int32_t> value = entry.getInt32(field.key)) {
            std::memcpy(record + field.offset, &*value, sizeof *value);
            return true;
        }
        return false;
    case FieldType::Uint32:
        if (std::optional<std::uint32_t> value = entry.getUint32(field.key)) {
            std::memcpy(record + field.offset, &*value, sizeof *value);
            return true;
        }
        return false;
    case FieldType::Text:
        if (std::optional<std::string> text = entry.getString(field.key)) {
            copy_text(record + field.offset, field.size, *text);
            return true;
        }
        return false;
    }
    return false;
}

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
    Step<GLibHelper::DictView> view = open_params(params);
    if (!view) {
        return view.error();
    }
    std::size_t n = 0;
    GVariant** items = view->getDictArray("param1", &n);
    const DictList list(items, items == nullptr ? 0 : n);
    if (list.empty()) {
        return missing_key("param1");
    }
    Entries<Record> entries{nullptr, 0};
    if (list.size() <= static_cast<std::size_t>(INT_MAX)) {
        entries.records.reset(static_cast<Record*>(std::calloc(list.size(), sizeof(Record))));
        entries.count = static_cast<int>(list.size());
    }
    if (!entries.records) {
        return Failure{kUnknownCode, "calloc failed"};
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        auto* record = reinterpret_cast<char*>(&entries.records[i]);
        if (const char* missing = fill_record(list[i], RecordFields<Record>::fields, record)) {
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
