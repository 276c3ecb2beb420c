// Rule-text rendering throughput against reading the same document.
#include <benchmark/benchmark.h>

#include <string>

#include "model/policy_json.h"
#include "policy/policy_writer.h"
#include "render_policy_generator.h"

namespace devctl::bench {
namespace {

// About 50 MB of policy JSON.
constexpr int kModules = 5000;
constexpr int kRulesPerModule = 12;

// One document; the scenes differ only in the scene name, which picks the block.
const Policy& bench_input(const std::string& scene) {
    static Policy cached = bench_policy(scene, kModules, kRulesPerModule);
    cached.scene = scene;
    return cached;
}

void render(benchmark::State& state, const std::string& scene) {
    const Policy& policy = bench_input(scene);
    size_t bytes = 0;
    for (auto _ : state) {
        std::string text = policy_rule_text(policy);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    state.counters["text_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_RenderGeneric(benchmark::State& state) { render(state, "demo"); }
void BM_RenderSm(benchmark::State& state) { render(state, "sm"); }
void BM_RenderDefender(benchmark::State& state) { render(state, "vop_defender"); }

// The reading side of the comparison: the same policy as its JSON document.
void BM_ReadDocument(benchmark::State& state) {
    const std::string json = serialize_policy(bench_input("demo"));
    for (auto _ : state) {
        auto policy = deserialize_policy(json);
        benchmark::DoNotOptimize(policy);
    }
    state.SetBytesProcessed(static_cast<int64_t>(json.size()) * state.iterations());
    state.counters["json_MB"] = static_cast<double>(json.size()) / 1e6;
}

BENCHMARK(BM_ReadDocument)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RenderGeneric)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RenderSm)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RenderDefender)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace devctl::bench

BENCHMARK_MAIN();
