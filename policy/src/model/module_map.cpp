#include "model/policy.h"

namespace devctl {

void module_map_insert(ModuleMap& map, std::string name, Module module) {
    if (Module* existing = module_map_find(map, name)) {
        *existing = std::move(module);
        return;
    }
    map.push_back(ModuleEntry{std::move(name), std::move(module)});
}

Module* module_map_find(ModuleMap& map, std::string_view name) {
    for (auto& entry : map)
        if (entry.name == name) return &entry.module;
    return nullptr;
}

const Module* module_map_find(const ModuleMap& map, std::string_view name) {
    for (const auto& entry : map)
        if (entry.name == name) return &entry.module;
    return nullptr;
}

}  // namespace devctl
