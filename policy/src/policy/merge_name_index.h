#pragma once
// Lookup of the first element of a list by name in O(log n), so matching
// the modules and variables of two documents stays O(n log n).
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace devctl {

struct NameIndex {
    // (name, position) sorted, so equal names list their first position first.
    std::vector<std::pair<std::string_view, size_t>> entries;
};

// The index views the names of items; items must outlive it unchanged.
template <class Items, class NameOf>
NameIndex index_by_name(const Items& items, NameOf name_of) {
    NameIndex index;
    index.entries.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        index.entries.emplace_back(std::string_view(name_of(items[i])), i);
    std::sort(index.entries.begin(), index.entries.end());
    return index;
}

// Position of the first item with exactly this name.
std::optional<size_t> find_first(const NameIndex& index, std::string_view name);

}  // namespace devctl
