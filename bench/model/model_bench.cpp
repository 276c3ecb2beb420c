// Read and write throughput of policy documents of about 50 MB.
//   model_bench [benchmark flags]      throughput (MB/s in bytes_per_second)
//   model_bench --cold-memory [flags]  the same, with freed memory returned to
//                                      the system, so every run faults its pages in
//   model_bench --write-doc FILE       writes the generated document
//   model_bench --peak-read FILE       reads FILE once, prints peak memory
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

#include "policy_generator.h"

namespace {

constexpr size_t kDocumentBytes = 50u << 20;

const devctl::Policy& policy() {
    static const devctl::Policy p =
        devctl::bench::generate_policy(devctl::bench::shape_for_size(kDocumentBytes));
    return p;
}

const std::string& document() {
    static const std::string text = devctl::serialize_policy(policy());
    return text;
}

void BM_ReadPolicy(benchmark::State& state) {
    const std::string& text = document();
    for (auto _ : state) {
        auto p = devctl::deserialize_policy(text);
        if (!p) state.SkipWithError(to_string(p.error()).c_str());
        benchmark::DoNotOptimize(p);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["doc_MB"] = static_cast<double>(text.size()) / (1 << 20);
}
BENCHMARK(BM_ReadPolicy)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_WritePolicy(benchmark::State& state) {
    const devctl::Policy& p = policy();
    size_t bytes = 0;
    for (auto _ : state) {
        std::string text = devctl::serialize_policy(p);
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WritePolicy)->Unit(benchmark::kMillisecond)->MinTime(3);

long max_rss_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int peak_read(const char* path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string text(static_cast<size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    long before = max_rss_kb();
    auto p = devctl::deserialize_policy(text);
    long after = max_rss_kb();
    if (!p) {
        std::cerr << to_string(p.error()) << "\n";
        return 1;
    }
    double doc_mb = static_cast<double>(text.size()) / (1 << 20);
    std::printf("document %.1f MB, peak RSS before reading %.1f MB, after %.1f MB: %.2fx the document\n",
                doc_mb, before / 1024.0, after / 1024.0, after / 1024.0 / doc_mb);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-doc") == 0) {
        std::ofstream(argv[2], std::ios::binary) << document();
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--peak-read") == 0) return peak_read(argv[2]);
    // By default freed memory stays in the heap: on this virtual machine a
    // page fault costs tens of microseconds, which would otherwise measure
    // the hypervisor rather than the reader and writer.
    if (argc >= 2 && std::strcmp(argv[1], "--cold-memory") == 0) {
        argv[1] = argv[0];
        ++argv;
        --argc;
    } else {
        mallopt(M_MMAP_THRESHOLD, 1 << 30);
        mallopt(M_TRIM_THRESHOLD, -1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
