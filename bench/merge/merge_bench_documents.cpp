#include "merge_bench_documents.h"

#include <algorithm>
#include <random>
#include <string>

namespace devctl::bench {
namespace {

constexpr int kModules = 4;
constexpr int kRulesPerModule = 6000;
constexpr int kUids = 50000;
constexpr int kPaths = 20000;
constexpr int kPvids = 5000;

PolicyRule make_rule(int i) {
    PolicyRule r;
    if (i % 3 != 0) r.name = "rule_" + std::to_string(i);
    r.operation = i % 2 ? "allow" : "deny";
    r.user = "user" + std::to_string(i % 50);
    r.subject = "/usr/bin/program_" + std::to_string(i % 997);
    r.object = "/dev/device_" + std::to_string(i);
    r.object_type = "block";
    r.permission = {"read", "write"};
    r.func = "check_" + std::to_string(i % 7);
    r.eval_func = "eval";
    return r;
}

// Elements [first, first + count); the add-on starts half way into the base's range.
template <class T, class Make>
std::vector<T> range(int first, int count, Make make, std::mt19937& random, bool shuffle) {
    std::vector<T> out;
    out.reserve(static_cast<size_t>(count));
    for (int i = first; i < first + count; ++i) out.push_back(make(i));
    if (shuffle) std::shuffle(out.begin(), out.end(), random);
    return out;
}

template <VariableKind K, class Payload>
Variable variable(std::string name, Payload payload) {
    return Variable{std::move(name), VariableTypes{VariableTypes::Value(std::in_place_index<kind_index<K>>, std::move(payload))}};
}

// The add-on's ranges start half way into the base's, so half of each list
// is shared.
Module make_module(int index, bool addon, double scale, std::mt19937& random) {
    auto count = [scale](int n) { return std::max(2, static_cast<int>(n * scale)); };
    auto start = [&](int n) { return addon ? count(n) / 2 : 0; };
    const bool shuffle = !addon;
    Module m;
    m.type = "module_" + std::to_string(index);
    m.enabled = true;
    m.interactive = Interactive::Notice;
    m.rules = range<PolicyRule>(start(kRulesPerModule), count(kRulesPerModule), make_rule, random, shuffle);
    m.variables.push_back(variable<VariableKind::Uid>(
        "uids", range<int32_t>(start(kUids), count(kUids), [](int i) { return i; }, random, shuffle)));
    m.variables.push_back(variable<VariableKind::Path>(
        "paths", range<std::string>(start(kPaths), count(kPaths),
                                    [](int i) { return "/opt/vendor/app_" + std::to_string(i) + "/bin/run"; }, random,
                                    shuffle)));
    m.variables.push_back(variable<VariableKind::Pvid>(
        "pvids", range<Pvid>(start(kPvids), count(kPvids),
                             [](int i) {
                                 return Pvid{8, static_cast<uint32_t>(i), 0x1234, "SN" + std::to_string(i),
                                             std::nullopt};
                             },
                             random, shuffle)));
    return m;
}

Policy make_policy(const std::string& scene, bool addon, double scale, std::mt19937& random) {
    Policy p;
    p.scene = scene;
    p.enabled = true;
    p.version = 1;
    for (int i = 0; i < kModules; ++i)
        p.modules.push_back(ModuleEntry{"module_" + std::to_string(i), make_module(i, addon, scale, random)});
    return p;
}

}  // namespace

MergeDocuments make_merge_documents(double scale) {
    std::mt19937 random(42);
    return MergeDocuments{make_policy("sm", false, scale, random), make_policy("addon", true, scale, random)};
}

}  // namespace devctl::bench
