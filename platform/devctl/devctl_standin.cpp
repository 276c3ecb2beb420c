// Stand-in for the framework's device-control library: records each call and
// answers what the calling thread scripted.
#include "devctl_standin.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "backend.h"

namespace {

using devctl_standin::Call;

struct Script {
    int result = 0;
    std::string list;
    bool list_is_null = true;
    int count = 0;
    void* handed_over = nullptr;
};

thread_local Script script;
thread_local std::vector<Call> calls;

Call& record(const char* function, const AddonInfo& info, std::initializer_list<long long> numbers)
{
    Call& call = calls.emplace_back();
    call.function = function;
    call.info = info;
    for (long long n : numbers) {
        call.numbers[call.number_count++] = n;
    }
    return call;
}

int answer(const char* function, const AddonInfo& info, std::initializer_list<long long> numbers)
{
    record(function, info, numbers);
    return script.result;
}

int answer_text(const char* function, const AddonInfo& info, std::initializer_list<long long> numbers,
                const char* text)
{
    record(function, info, numbers).text.assign(text, 256);
    return script.result;
}

template <class Record>
int answer_entries(const char* function, const Record* entries, int count, const AddonInfo& info)
{
    Call& call = record(function, info, {});
    call.count = count;
    if (entries != nullptr && count > 0) {
        call.entries.assign(reinterpret_cast<const char*>(entries), sizeof(Record) * count);
    }
    return script.result;
}

template <class Record>
Record* answer_list(const char* function, int* count, const AddonInfo& info,
                    std::initializer_list<long long> numbers = {})
{
    // What the caller left in *count before the call, so tests see it was reset.
    record(function, info, numbers).count = *count;
    *count = script.count;
    if (script.handed_over != nullptr) {
        void* list = script.handed_over;
        script.handed_over = nullptr;
        return static_cast<Record*>(list);
    }
    if (script.list_is_null) {
        return nullptr;
    }
    void* list = std::malloc(script.list.empty() ? 1 : script.list.size());
    std::memcpy(list, script.list.data(), script.list.size());
    return static_cast<Record*>(list);
}

}  // namespace

extern "C" {

void devctl_standin_reset()
{
    std::free(script.handed_over);
    script = Script{};
    calls.clear();
}

void devctl_standin_set_result(int result) { script.result = result; }

void devctl_standin_set_list(const void* bytes, std::size_t size, int count)
{
    script.list_is_null = bytes == nullptr;
    script.list.assign(bytes == nullptr ? "" : static_cast<const char*>(bytes), bytes == nullptr ? 0 : size);
    script.count = count;
}

void devctl_standin_hand_over_list(void* list, int count)
{
    std::free(script.handed_over);
    script.handed_over = list;
    script.count = count;
}

std::size_t devctl_standin_call_count() { return calls.size(); }

const Call* devctl_standin_call(std::size_t index) { return index < calls.size() ? &calls[index] : nullptr; }

int orvex_scene_get_devctl_status(AddonInfo info) { return answer("get_devctl_status", info, {}); }
int orvex_scene_get_devctl_status_from_conf(AddonInfo info)
{
    return answer("get_devctl_status_from_conf", info, {});
}
int orvex_scene_devctl_get_usb_group_perm(AddonInfo info) { return answer("devctl_get_usb_group_perm", info, {}); }
int orvex_scene_devctl_get_alarm_status(AddonInfo info) { return answer("devctl_get_alarm_status", info, {}); }

int orvex_scene_set_devctl_status(int status, AddonInfo info)
{
    return answer("set_devctl_status", info, {status});
}
int orvex_scene_devctl_set_usb_group_perm(int perm, AddonInfo info)
{
    return answer("devctl_set_usb_group_perm", info, {perm});
}
int orvex_scene_devctl_set_alarm_status(int status, AddonInfo info)
{
    return answer("devctl_set_alarm_status", info, {status});
}

int orvex_scene_devctl_is_type_disabled(int devctl_type, int sub_type, AddonInfo info)
{
    return answer("devctl_is_type_disabled", info, {devctl_type, sub_type});
}
int orvex_scene_devctl_is_pvid_disabled(int usb_type, unsigned pid, unsigned vid, const char* serial,
                                        AddonInfo info)
{
    return answer_text("devctl_is_pvid_disabled", info, {usb_type, pid, vid}, serial);
}
int orvex_scene_devctl_get_pvid_perm(int usb_type, unsigned pid, unsigned vid, const char* serial,
                                     AddonInfo info)
{
    return answer_text("devctl_get_pvid_perm", info, {usb_type, pid, vid}, serial);
}
int orvex_scene_devctl_is_netcard_disabled(int netcard_type, const char* name, AddonInfo info)
{
    return answer_text("devctl_is_netcard_disabled", info, {netcard_type}, name);
}

int orvex_scene_add_devctl_by_type(const DevctlTypeEntry* entries, int count, AddonInfo info)
{
    return answer_entries("add_devctl_by_type", entries, count, info);
}
int orvex_scene_remove_devctl_by_type(const DevctlTypeEntry* entries, int count, AddonInfo info)
{
    return answer_entries("remove_devctl_by_type", entries, count, info);
}
int orvex_scene_add_devctl_by_pvid(const DevctlPvidEntry* entries, int count, AddonInfo info)
{
    return answer_entries("add_devctl_by_pvid", entries, count, info);
}
int orvex_scene_remove_devctl_by_pvid(const DevctlPvidEntry* entries, int count, AddonInfo info)
{
    return answer_entries("remove_devctl_by_pvid", entries, count, info);
}
int orvex_scene_add_devctl_by_netcard_name(const DevctlNetcardEntry* entries, int count, AddonInfo info)
{
    return answer_entries("add_devctl_by_netcard_name", entries, count, info);
}
int orvex_scene_remove_devctl_by_netcard_name(const DevctlNetcardEntry* entries, int count, AddonInfo info)
{
    return answer_entries("remove_devctl_by_netcard_name", entries, count, info);
}

DevctlTypeEntry* orvex_scene_get_devctl_all_types(int* count, AddonInfo info)
{
    return answer_list<DevctlTypeEntry>("get_devctl_all_types", count, info);
}
DevctlTypeEntry* orvex_scene_get_devctl_by_type(int devctl_type, int* count, AddonInfo info)
{
    return answer_list<DevctlTypeEntry>("get_devctl_by_type", count, info, {devctl_type});
}
DevctlPvidEntry* orvex_scene_get_devctl_all_pvid(int* count, AddonInfo info)
{
    return answer_list<DevctlPvidEntry>("get_devctl_all_pvid", count, info);
}
DevctlNetcardEntry* orvex_scene_get_devctl_netcard(int* count, AddonInfo info)
{
    return answer_list<DevctlNetcardEntry>("get_devctl_netcard", count, info);
}
SysDeviceInfo* orvex_scene_read_sys_device_info(int* count, AddonInfo info)
{
    return answer_list<SysDeviceInfo>("read_sys_device_info", count, info);
}

}  // extern "C"
