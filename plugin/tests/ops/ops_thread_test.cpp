// Every operation called from 16 threads at once, many thousand times. Each
// thread sends values of its own; every reply and every back-end call must be
// exactly what the same request gave when made alone.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "ops_harness.h"
#include "ops_table.h"

namespace ops_test {
namespace {

constexpr int kThreads = 16;
constexpr int kRounds = 200;
constexpr int kResults[] = {0, 1, 7, -1, -3, -17, -18, -100};

struct Request {
    std::string op;
    Var params;
    Var addon_info;
    int result = 0;
    std::string list;
    int count = 0;
};

struct Outcome {
    Var reply;
    std::string call;

    bool operator==(const Outcome& other) const
    {
        return g_variant_equal(reply.get(), other.reply.get()) && call == other.call;
    }
};

template <class Record>
std::string records(int n, void (*fill)(Record&, int), int seed)
{
    std::vector<Record> list(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        list[static_cast<std::size_t>(i)] = Record{};
        fill(list[static_cast<std::size_t>(i)], seed + i);
    }
    return bytes_of(list);
}

void fill_type(DevctlTypeEntry& e, int seed) { e = {seed, -seed, seed % 3}; }
void fill_pvid(DevctlPvidEntry& e, int seed)
{
    e.usb_type = seed;
    e.pid = static_cast<unsigned>(seed) * 7u;
    e.vid = 0xffff0000u + static_cast<unsigned>(seed);
    std::snprintf(e.serial, sizeof e.serial, "SN%d", seed);
    e.perm = -seed;
    std::snprintf(e.name, sizeof e.name, "disk %d", seed);
}
void fill_netcard(DevctlNetcardEntry& e, int seed)
{
    std::snprintf(e.name, sizeof e.name, "eth%d", seed);
    e.netcard_type = seed;
}
void fill_device(SysDeviceInfo& d, int seed)
{
    d.usb_type = seed;
    d.pid = static_cast<unsigned>(seed);
    d.vid = static_cast<unsigned>(seed) + 1u;
    d.perm = seed % 2;
    std::snprintf(d.product, sizeof d.product, "product %d", seed);
    std::snprintf(d.manufacturer, sizeof d.manufacturer, "maker %d", seed);
    std::snprintf(d.serial, sizeof d.serial, "%d", seed * 13);
    std::snprintf(d.device_name, sizeof d.device_name, "sd%d", seed);
    std::snprintf(d.display_name, sizeof d.display_name, "Disk %d", seed);
}

std::string list_for(const std::string& backend, int n, int seed)
{
    if (backend == "get_devctl_all_pvid") {
        return records<DevctlPvidEntry>(n, fill_pvid, seed);
    }
    if (backend == "get_devctl_netcard") {
        return records<DevctlNetcardEntry>(n, fill_netcard, seed);
    }
    if (backend == "read_sys_device_info") {
        return records<SysDeviceInfo>(n, fill_device, seed);
    }
    return records<DevctlTypeEntry>(n, fill_type, seed);
}

std::vector<Request> requests_of_thread(int thread)
{
    std::vector<Request> requests;
    int index = 0;
    for (const OperationCase& op : operations()) {
        const int seed = thread * 1000 + index;
        Request r;
        r.op = op.name;
        r.params = Var(params_for(op, seed));
        const std::string scene = "scene-" + std::to_string(thread) + "-" + std::string(static_cast<std::size_t>(index * 13), 'x');
        // Some requests fail in the frame, the others reach the back end.
        r.addon_info = (thread + index) % 5 == 0
                           ? Var(dict({{"sync", g_variant_new_uint32(1)}}))
                           : Var(dict({{"scene", g_variant_new_string(scene.c_str())},
                                       {"sync", g_variant_new_uint32(static_cast<unsigned>(seed))},
                                       {"scene_switch", g_variant_new_uint32(static_cast<unsigned>(thread))}}));
        r.result = kResults[(thread + index) % std::size(kResults)];
        if (op.kind == Kind::ListQuery) {
            r.count = (thread + index) % 4;
            r.list = list_for(op.backend, r.count, seed);
        }
        requests.push_back(std::move(r));
        ++index;
    }
    return requests;
}

std::string describe(const devctl_standin::Call& call)
{
    std::string text = call.function;
    for (int i = 0; i < call.number_count; ++i) {
        text += " " + std::to_string(call.numbers[i]);
    }
    text += "|" + call.text + "|" + std::string(reinterpret_cast<const char*>(&call.info), sizeof call.info);
    text += "|" + std::to_string(call.count) + "|" + call.entries;
    return text;
}

Outcome run(const Host& host, const Request& r)
{
    host.reset();
    host.set_result(r.result);
    host.set_list(r.count == 0 && r.list.empty() ? nullptr : r.list.data(), r.list.size(), r.count);
    Outcome outcome{Var(host.operation(r.op)(r.params.get(), r.addon_info.get())), ""};
    for (const devctl_standin::Call& call : host.calls()) {
        outcome.call += describe(call);
    }
    host.reset();
    return outcome;
}

TEST(OperationsConcurrently, EveryReplyIsExact)
{
    const Host& host = Host::get();
    std::vector<std::vector<Request>> requests;
    std::vector<std::vector<Outcome>> expected;
    for (int t = 0; t < kThreads; ++t) {
        requests.push_back(requests_of_thread(t));
        std::vector<Outcome> outcomes;
        for (const Request& r : requests.back()) {
            outcomes.push_back(run(host, r));
        }
        expected.push_back(std::move(outcomes));
    }

    std::atomic<int> mismatches{0};
    std::atomic<int> ready{0};
    std::vector<std::string> first_mismatch(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < kThreads) {
                std::this_thread::yield();
            }
            const std::vector<Request>& mine = requests[static_cast<std::size_t>(t)];
            for (int round = 0; round < kRounds; ++round) {
                for (std::size_t i = 0; i < mine.size(); ++i) {
                    const std::size_t k = (i + static_cast<std::size_t>(round)) % mine.size();
                    const Outcome got = run(host, mine[k]);
                    if (!(got == expected[static_cast<std::size_t>(t)][k])) {
                        if (mismatches.fetch_add(1) == 0) {
                            first_mismatch[static_cast<std::size_t>(t)] = mine[k].op + ": " + got.reply.text();
                        }
                    }
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches.load(), 0);
    for (const std::string& m : first_mismatch) {
        EXPECT_TRUE(m.empty()) << m;
    }
}

}  // namespace
}  // namespace ops_test
