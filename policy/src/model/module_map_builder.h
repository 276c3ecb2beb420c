#pragma once
// Filling a module map while reading: the same result as module_map_insert
// (first place kept, later module taken), with a hash index once the map is
// large so that thousands of modules do not cost quadratic time.
#include <string>
#include <unordered_set>

#include "model/policy.h"

namespace devctl {

class ModuleMapBuilder {
public:
    explicit ModuleMapBuilder(ModuleMap& map);
    void insert(std::string name, Module module);

private:
    struct Hash {
        const ModuleMap* map;
        size_t operator()(size_t i) const { return std::hash<std::string>{}((*map)[i].name); }
    };
    struct Equal {
        const ModuleMap* map;
        bool operator()(size_t a, size_t b) const { return (*map)[a].name == (*map)[b].name; }
    };
    static constexpr size_t kIndexFrom = 16;

    ModuleMap& map_;
    std::unordered_set<size_t, Hash, Equal> index_;
};

}  // namespace devctl
