// Rule-text rendering of a policy document of about 50 MB, next to reading
// the same document.
//   render_bench [benchmark flags]   freed memory stays in the heap
//   DEVCTL_BENCH_COLD_MEMORY=1 render_bench   every run faults its pages in
// bytes_per_second of the render benchmarks is MB of rule text per second;
// compare their time with BM_ReadDocument's.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "model/policy_json.h"
#include "policy/policy_writer.h"
#include "policy_generator.h"

namespace devctl::bench {
namespace {

constexpr size_t kDocumentBytes = 50u << 20;

// Argument 0: the generator's usual modules with long lists; 1: many small
// modules, so many more sections (and scene blocks) per megabyte.
Policy& generated(int64_t shape) {
    static Policy usual = generate_policy(shape_for_size(kDocumentBytes));
    static Policy small = generate_policy(
        shape_for_size(kDocumentBytes, PolicyShape{.sub_modules = 1, .depth = 1, .list_length = 4}));
    return shape == 0 ? usual : small;
}

void BM_ReadDocument(benchmark::State& state) {
    const std::string text = serialize_policy(generated(state.range(0)));
    for (auto _ : state) {
        auto p = deserialize_policy(text);
        benchmark::DoNotOptimize(p);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["doc_MB"] = static_cast<double>(text.size()) / 1e6;
}

// The scene name picks the scene block; the document is otherwise the same.
void render(benchmark::State& state, std::string_view scene) {
    Policy& p = generated(state.range(0));
    p.scene = scene;
    size_t bytes = 0;
    for (auto _ : state) {
        std::string text = policy_rule_text(p);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["text_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_RenderPlainScene(benchmark::State& state) { render(state, "demo"); }
void BM_RenderSmScene(benchmark::State& state) { render(state, "sm"); }
void BM_RenderDefenderScene(benchmark::State& state) { render(state, "vop_defender"); }

BENCHMARK(BM_ReadDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_RenderPlainScene)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_RenderSmScene)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_RenderDefenderScene)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace
}  // namespace devctl::bench

// Page faults cost tens of microseconds on the build machine; unless
// DEVCTL_BENCH_COLD_MEMORY is set, freed memory stays in the heap so that the
// runs measure the code rather than the hypervisor. Set before main runs.
[[maybe_unused]] const bool kWarmHeap = [] {
    if (std::getenv("DEVCTL_BENCH_COLD_MEMORY") != nullptr) return false;
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, -1);
    return true;
}();

BENCHMARK_MAIN();
