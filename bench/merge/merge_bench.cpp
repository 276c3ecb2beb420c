// Merging an add-on into a base of about 20 MB each, next to reading both;
// and a ~55 MiB scene document of many small modules merged into itself.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "../model/policy_generator.h"
#include "merge_bench_documents.h"
#include "model/policy_json.h"
#include "policy/merge.h"
#include "policy/merge_list.h"

namespace devctl::bench {
namespace {

struct Texts {
    std::string base;
    std::string addon;
};

const Texts& texts() {
    static const Texts t = [] {
        const MergeDocuments docs = make_merge_documents();
        return Texts{serialize_policy(docs.base), serialize_policy(docs.addon)};
    }();
    return t;
}

Policy parse(const std::string& text) {
    auto policy = deserialize_policy(text);
    if (!policy) std::abort();
    return std::move(*policy);
}

void set_bytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(texts().base.size() + texts().addon.size()));
    state.counters["base_MB"] = static_cast<double>(texts().base.size()) / 1e6;
    state.counters["addon_MB"] = static_cast<double>(texts().addon.size()) / 1e6;
}

void BM_ReadBoth(benchmark::State& state) {
    for (auto _ : state) {
        Policy base = parse(texts().base);
        Policy addon = parse(texts().addon);
        benchmark::DoNotOptimize(base);
        benchmark::DoNotOptimize(addon);
    }
    set_bytes(state);
}

// One in-memory merge per iteration. The merge consumes the add-on, as the
// command gives it up; the copies it starts from are not timed.
void time_merge(benchmark::State& state, const Policy& base, const Policy& addon) {
    for (auto _ : state) {
        state.PauseTiming();
        Policy merged = base;
        Policy consumed = addon;
        state.ResumeTiming();
        MergePath path;
        merge_policy(merged, std::move(consumed), path);
        benchmark::DoNotOptimize(merged);
        state.PauseTiming();
        { Policy release = std::move(merged), release_addon = std::move(consumed); }
        state.ResumeTiming();
    }
}

void BM_MergeInMemory(benchmark::State& state) {
    time_merge(state, parse(texts().base), parse(texts().addon));
}

// Growth with the list sizes (range: percent of the 20 MB documents); the
// fitted complexity should read N log N, not N^2.
void BM_MergeScaling(benchmark::State& state) {
    const MergeDocuments docs = make_merge_documents(static_cast<double>(state.range(0)) / 100.0);
    time_merge(state, docs.base, docs.addon);
    state.SetComplexityN(state.range(0));
}

void BM_SerializeMerged(benchmark::State& state) {
    Policy merged = parse(texts().base);
    MergePath path;
    merge_policy(merged, parse(texts().addon), path);
    size_t bytes = 0;
    for (auto _ : state) {
        std::string text = serialize_policy(merged);
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.counters["merged_MB"] = static_cast<double>(bytes) / 1e6;
}

// The whole command: read and parse both, merge, write, atomic replace.
void BM_MergeFiles(benchmark::State& state) {
    char pattern[] = "/tmp/merge_bench.XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    const std::filesystem::path dir = pattern;
    const std::string base = dir / "base.json", addon = dir / "addon.json", output = dir / "out.json";
    std::ofstream(base, std::ios::binary) << texts().base;
    std::ofstream(addon, std::ios::binary) << texts().addon;
    for (auto _ : state)
        if (!merge_policy_files(base, {addon}, output)) state.SkipWithError("merge failed");
    set_bytes(state);
    std::filesystem::remove_all(dir);
}

// Many modules of a few rules each, as a scene document has them; merging
// it with itself makes every add-on rule a duplicate.
const Policy& scene_policy() {
    static const Policy p = generate_policy(shape_for_size(55u << 20));
    return p;
}

void BM_MergeSceneIntoItself(benchmark::State& state) { time_merge(state, scene_policy(), scene_policy()); }

const Policy& long_list_policy() {
    static const Policy p = make_merge_documents().base;
    return p;
}

void collect_rules(const ModuleMap& modules, std::vector<std::vector<PolicyRule>>& out) {
    for (const ModuleEntry& entry : modules) {
        out.push_back(entry.module.rules);
        collect_rules(entry.module.modules, out);
    }
}

// The rule lists alone, each merged with itself: the scene document's many
// short lists, or the four lists of 6000 rules of the 20 MB base.
void BM_MergeRules(benchmark::State& state, const Policy& (*source)()) {
    std::vector<std::vector<PolicyRule>> lists;
    collect_rules(source().modules, lists);
    size_t rules = 0;
    for (const auto& list : lists) rules += list.size();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::vector<PolicyRule>> base = lists, add = lists;
        state.ResumeTiming();
        for (size_t i = 0; i < base.size(); ++i) merge_rules(base[i], std::move(add[i]));
        benchmark::DoNotOptimize(base);
        state.PauseTiming();
        { auto release = std::move(base), release_add = std::move(add); }
        state.ResumeTiming();
    }
    state.counters["lists"] = static_cast<double>(lists.size());
    state.counters["rules"] = static_cast<double>(rules);
}

BENCHMARK(BM_ReadBoth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeInMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeScaling)->Arg(12)->Arg(25)->Arg(50)->Arg(100)->Complexity(benchmark::oNLogN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SerializeMerged)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeSceneIntoItself)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MergeRules, scene, scene_policy)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MergeRules, long_lists, long_list_policy)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace devctl::bench

BENCHMARK_MAIN();
