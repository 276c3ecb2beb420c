#include "policy/merge_name_index.h"

namespace devctl {

std::optional<size_t> find_first(const NameIndex& index, std::string_view name) {
    auto it = std::lower_bound(index.entries.begin(), index.entries.end(), std::pair(name, size_t{0}));
    if (it == index.entries.end() || it->first != name) return std::nullopt;
    return it->second;
}

}  // namespace devctl
