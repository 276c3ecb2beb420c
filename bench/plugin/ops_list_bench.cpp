// The two largest list queries against a minimal loop that builds the same
// "aa{sv}" with GVariantBuilder. Both sides start from a malloc'd list that
// they free; preparing that list is not timed. On a busy machine compare them
// with --benchmark_enable_random_interleaving=true --benchmark_repetitions=6.
#include <benchmark/benchmark.h>
#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "devctl_operations.h"
#include "devctl_records.h"
#include "devctl_standin.h"

namespace {

constexpr int kRecords = 100000;

std::vector<SysDeviceInfo> devices()
{
    std::vector<SysDeviceInfo> list(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        SysDeviceInfo& d = list[i];
        d = SysDeviceInfo{};
        d.usb_type = i % 7;
        d.pid = 0x1000u + static_cast<unsigned>(i);
        d.vid = 0x2000u + static_cast<unsigned>(i);
        d.perm = i % 3;
        std::snprintf(d.product, sizeof d.product, "USB Mass Storage %d", i);
        std::snprintf(d.manufacturer, sizeof d.manufacturer, "Maker %d", i % 50);
        std::snprintf(d.serial, sizeof d.serial, "SN%012d", i);
        std::snprintf(d.device_name, sizeof d.device_name, "sd%c%d", 'a' + i % 26, i % 10);
        std::snprintf(d.display_name, sizeof d.display_name, "Removable disk %d", i);
    }
    return list;
}

std::vector<DevctlPvidEntry> pvid_rules()
{
    std::vector<DevctlPvidEntry> list(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        DevctlPvidEntry& e = list[i];
        e = DevctlPvidEntry{};
        e.usb_type = i % 7;
        e.pid = 0x1000u + static_cast<unsigned>(i);
        e.vid = 0x2000u + static_cast<unsigned>(i);
        std::snprintf(e.serial, sizeof e.serial, "SN%012d", i);
        e.perm = i % 3;
        std::snprintf(e.name, sizeof e.name, "rule %d", i);
    }
    return list;
}

template <class Record>
Record* malloc_copy(const std::vector<Record>& list)
{
    auto* copy = static_cast<Record*>(std::malloc(sizeof(Record) * list.size()));
    std::memcpy(copy, list.data(), sizeof(Record) * list.size());
    return copy;
}

void add(GVariantBuilder* b, const char* key, GVariant* value) { g_variant_builder_add(b, "{sv}", key, value); }

GVariant* direct(const SysDeviceInfo& d)
{
    GVariantBuilder b;
    g_variant_builder_init(&b, G_VARIANT_TYPE_VARDICT);
    add(&b, "usb_type", g_variant_new_int32(d.usb_type));
    add(&b, "pid", g_variant_new_uint32(d.pid));
    add(&b, "vid", g_variant_new_uint32(d.vid));
    add(&b, "perm", g_variant_new_int32(d.perm));
    add(&b, "product", g_variant_new_string(d.product));
    add(&b, "manufacturer", g_variant_new_string(d.manufacturer));
    add(&b, "serial", g_variant_new_string(d.serial));
    add(&b, "device_name", g_variant_new_string(d.device_name));
    add(&b, "display_name", g_variant_new_string(d.display_name));
    return g_variant_builder_end(&b);
}

GVariant* direct(const DevctlPvidEntry& e)
{
    GVariantBuilder b;
    g_variant_builder_init(&b, G_VARIANT_TYPE_VARDICT);
    add(&b, "usb_type", g_variant_new_int32(e.usb_type));
    add(&b, "pid", g_variant_new_uint32(e.pid));
    add(&b, "vid", g_variant_new_uint32(e.vid));
    add(&b, "serial", g_variant_new_string(e.serial));
    add(&b, "perm", g_variant_new_int32(e.perm));
    add(&b, "name", g_variant_new_string(e.name));
    return g_variant_builder_end(&b);
}

template <class Record>
void baseline(benchmark::State& state, const std::vector<Record>& source)
{
    for (auto _ : state) {
        state.PauseTiming();
        Record* list = malloc_copy(source);
        state.ResumeTiming();
        GVariantBuilder array;
        g_variant_builder_init(&array, G_VARIANT_TYPE("aa{sv}"));
        for (int i = 0; i < kRecords; ++i) {
            g_variant_builder_add_value(&array, direct(list[i]));
        }
        GVariant* data = g_variant_ref_sink(g_variant_builder_end(&array));
        std::free(list);
        benchmark::DoNotOptimize(data);
        g_variant_unref(data);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

template <class Record>
void through_plugin(benchmark::State& state, const std::vector<Record>& source,
                    GVariant* (*operation)(GVariant*, GVariant*))
{
    GVariant* addon_info = g_variant_ref_sink(g_variant_new_parsed("{'scene': <'vop_defender'>}"));
    for (auto _ : state) {
        state.PauseTiming();
        devctl_standin_reset();
        devctl_standin_hand_over_list(malloc_copy(source), kRecords);
        state.ResumeTiming();
        GVariant* reply = g_variant_ref_sink(operation(nullptr, addon_info));
        benchmark::DoNotOptimize(reply);
        g_variant_unref(reply);
    }
    g_variant_unref(addon_info);
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_direct_sys_device_info(benchmark::State& state) { baseline(state, devices()); }
void BM_plugin_read_sys_device_info(benchmark::State& state)
{
    through_plugin(state, devices(), orvex_scene_plugin_devctl_read_sys_device_info);
}
void BM_direct_pvid(benchmark::State& state) { baseline(state, pvid_rules()); }
void BM_plugin_get_all_pvid(benchmark::State& state)
{
    through_plugin(state, pvid_rules(), orvex_scene_plugin_devctl_get_all_pvid);
}

BENCHMARK(BM_direct_sys_device_info)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_plugin_read_sys_device_info)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_direct_pvid)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_plugin_get_all_pvid)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
