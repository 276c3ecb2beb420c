#pragma once
// Union of two lists: the add-on's elements moved in, the whole list sorted
// and every run of duplicates cut down to its first element.
#include <algorithm>
#include <iterator>
#include <numeric>
#include <string>
#include <type_traits>
#include <vector>

#include "model/policy.h"

namespace devctl {

// Order and duplicate test of one element type. The default (integers,
// device enumerations by number, strings by unsigned bytes, records field by
// field) is the element's own < and ==.
template <class T>
struct MergeOrder {
    static bool less(const T& a, const T& b) { return a < b; }
    static bool same(const T& a, const T& b) { return a == b; }
};

template <>
struct MergeOrder<Pvid> {
    static bool less(const Pvid& a, const Pvid& b) { return a < b; }
    // Ignores the name: of entries differing only in name, the first in
    // order (no name, then the smallest) stays.
    static bool same(const Pvid& a, const Pvid& b);
};

// Sorts and de-duplicates even when add is empty, base duplicates included.
// Ties in the order only occur between duplicates, so an unstable sort is
// enough. Elements that are not trivially copyable are sorted by position
// and each kept one is moved once into place, so a large element is not
// swapped around during the sort.
template <class T>
void merge_list(std::vector<T>& base, std::vector<T>&& add) {
    auto less = [](const T& a, const T& b) { return MergeOrder<T>::less(a, b); };
    auto same = [](const T& a, const T& b) { return MergeOrder<T>::same(a, b); };
    if (base.size() + add.size() < 2 || std::is_trivially_copyable_v<T>) {
        base.insert(base.end(), std::make_move_iterator(add.begin()), std::make_move_iterator(add.end()));
        if (base.size() < 2) return;
        std::sort(base.begin(), base.end(), less);
        base.erase(std::unique(base.begin(), base.end(), same), base.end());
        return;
    }
    const size_t base_size = base.size();
    auto at = [&](size_t i) -> T& { return i < base_size ? base[i] : add[i - base_size]; };
    std::vector<size_t> order(base_size + add.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return less(at(a), at(b)); });

    std::vector<T> merged;
    merged.reserve(order.size());
    for (size_t i : order)
        if (merged.empty() || !same(merged.back(), at(i))) merged.push_back(std::move(at(i)));
    base = std::move(merged);
}

// Rules are merged like any list, in the rule order. Longer lists are sorted
// by one byte key per rule, built once, instead of field by field compares.
void merge_rules(std::vector<PolicyRule>& base, std::vector<PolicyRule>&& add);

// Appends the rule's sort key to out. Keys compared as unsigned bytes (the
// shorter first when one is a prefix) order rules exactly like the rule
// order, and two keys are equal exactly when the rules are. The fields come
// in declaration order; an absent name is 00 and a present one 01 before its
// text; each text ends in 00 00 with a NUL byte in it written as 00 01, so the
// end of a text sorts below any further content; each permission is 01
// before its text and the list ends in 00, so a shorter prefix list sorts first.
void append_rule_key(std::string& out, const PolicyRule& rule);

}  // namespace devctl
