#pragma once
// Union of two lists: the add-on's elements appended, the whole list sorted
// and every run of duplicates cut down to its first element.
#include <algorithm>
#include <vector>

#include "model/policy.h"

namespace devctl {

// Order and duplicate test of one element type. The default (integers,
// device enumerations by number, strings by unsigned bytes) is the
// element's own < and ==.
template <class T>
struct MergeOrder {
    static bool less(const T& a, const T& b) { return a < b; }
    static bool same(const T& a, const T& b) { return a == b; }
};

template <>
struct MergeOrder<Pvid> {
    static bool less(const Pvid& a, const Pvid& b);
    // Ignores the name: of entries differing only in name, the first in
    // order (no name, then the smallest) stays.
    static bool same(const Pvid& a, const Pvid& b);
};

template <>
struct MergeOrder<Netcard> {
    static bool less(const Netcard& a, const Netcard& b);
    static bool same(const Netcard& a, const Netcard& b);
};

template <>
struct MergeOrder<PolicyRule> {
    static bool less(const PolicyRule& a, const PolicyRule& b);
    static bool same(const PolicyRule& a, const PolicyRule& b);
};

// Sorts and de-duplicates even when add is empty, base duplicates included.
// Ties in the order only occur between duplicates, so an unstable sort is
// enough.
template <class T>
void merge_list(std::vector<T>& base, const std::vector<T>& add) {
    base.insert(base.end(), add.begin(), add.end());
    if (base.size() < 2) return;
    std::sort(base.begin(), base.end(),
              [](const T& a, const T& b) { return MergeOrder<T>::less(a, b); });
    base.erase(std::unique(base.begin(), base.end(),
                           [](const T& kept, const T& next) { return MergeOrder<T>::same(kept, next); }),
               base.end());
}

void merge_rules(std::vector<PolicyRule>& base, const std::vector<PolicyRule>& add);

}  // namespace devctl
