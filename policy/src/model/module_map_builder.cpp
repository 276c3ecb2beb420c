#include "model/module_map_builder.h"

namespace devctl {

ModuleMapBuilder::ModuleMapBuilder(ModuleMap& map)
    : map_(map), index_(0, Hash{&map}, Equal{&map}) {}

void ModuleMapBuilder::insert(std::string name, Module module) {
    if (map_.size() < kIndexFrom) {
        module_map_insert(map_, std::move(name), std::move(module));
        if (map_.size() == kIndexFrom)
            for (size_t i = 0; i < map_.size(); ++i) index_.insert(i);
        return;
    }
    map_.push_back(ModuleEntry{std::move(name), std::move(module)});
    auto [it, added] = index_.insert(map_.size() - 1);
    if (added) return;
    map_[*it].module = std::move(map_.back().module);
    map_.pop_back();
}

}  // namespace devctl
