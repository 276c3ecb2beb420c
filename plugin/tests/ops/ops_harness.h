#pragma once
// Loads the built plug-in as the framework's host does and calls its
// operations by exported name; scripts and inspects the stand-in back end
// that the plug-in loaded.
#include <glib.h>

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "devctl_records.h"
#include "devctl_standin.h"

namespace ops_test {

// One owned, non-floating reference.
class Var {
public:
    Var() = default;
    // Takes over a floating reference (sinks it) or the caller's reference.
    explicit Var(GVariant* value) : value_(value == nullptr ? nullptr : g_variant_take_ref(value)) {}
    Var(const Var& other) : value_(other.value_ == nullptr ? nullptr : g_variant_ref(other.value_)) {}
    Var& operator=(Var other)
    {
        std::swap(value_, other.value_);
        return *this;
    }
    ~Var()
    {
        if (value_ != nullptr) {
            g_variant_unref(value_);
        }
    }
    GVariant* get() const { return value_; }
    // The GVariant text form, for exact comparisons.
    std::string text() const;

private:
    GVariant* value_ = nullptr;
};

using Entry = std::pair<const char*, GVariant*>;

// A floating "a{sv}" of the given entries (values floating, taken over).
GVariant* dict(std::initializer_list<Entry> entries);
// A floating "aa{sv}" of floating dictionaries.
GVariant* dict_list(const std::vector<GVariant*>& dicts);
// "scene" and, when given, "sync".
GVariant* scene_info(const std::string& scene, std::optional<unsigned> sync = std::nullopt);

// A reply taken apart.
struct Reply {
    std::vector<std::string> keys;  // in order
    int code = 0;
    std::optional<std::string> message;
    Var data;  // what "data" holds, unboxed
};

using Operation = GVariant* (*)(GVariant*, GVariant*);

// The plug-in and its back end, loaded once per process.
class Host {
public:
    static Host& get();

    // The export orvex_scene_plugin_devctl_<name>.
    Operation operation(const std::string& name) const;

    // Calls the operation with both arguments (floating values are sunk and
    // released afterwards) and checks that they are left unchanged.
    Reply call(const std::string& name, GVariant* params, GVariant* addon_info) const;

    // The stand-in's control side, for the calling thread.
    void reset() const { reset_(); }
    void set_result(int result) const { set_result_(result); }
    void set_list(const void* bytes, std::size_t size, int count) const { set_list_(bytes, size, count); }
    std::vector<devctl_standin::Call> calls() const;

private:
    Host();
    void* plugin_ = nullptr;
    void (*reset_)() = nullptr;
    void (*set_result_)(int) = nullptr;
    void (*set_list_)(const void*, std::size_t, int) = nullptr;
    std::size_t (*call_count_)() = nullptr;
    const devctl_standin::Call* (*call_)(std::size_t) = nullptr;
};

// The records' bytes, for comparison with what the back end received.
template <class Record>
std::string bytes_of(const std::vector<Record>& records)
{
    return std::string(reinterpret_cast<const char*>(records.data()), sizeof(Record) * records.size());
}

// The scene field as a 256-byte string.
inline std::string scene_bytes(const AddonInfo& info) { return std::string(info.scene, sizeof info.scene); }
// A zero-filled field of `size` bytes holding text.
std::string field_bytes(const std::string& text, std::size_t size);

}  // namespace ops_test
