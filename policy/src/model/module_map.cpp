#include <algorithm>

#include "model/policy.h"

namespace devctl {

void module_map_insert(ModuleMap& map, std::string name, Module module) {
    auto it = std::ranges::find(map, name, &ModuleEntry::name);
    if (it != map.end()) {
        it->module = std::move(module);
    } else {
        map.push_back(ModuleEntry{std::move(name), std::move(module)});
    }
}

}  // namespace devctl
