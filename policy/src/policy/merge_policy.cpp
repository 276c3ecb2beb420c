// The overlay of one policy on another: single values, modules, variables
// and their values, down to the list union of merge_list.h.
#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <variant>

#include "log/log.h"
#include "policy/merge.h"
#include "policy/merge_list.h"
#include "policy/render_text.h"

namespace devctl {

std::string to_string(const MergeLocation& location) { return join_texts(location.path, "."); }

namespace {

void merge_module(Module& base, Module&& add, MergePath& path);
void merge_payload(DeviceClass& base, DeviceClass&& add);

template <class T>
void merge_payload(std::vector<T>& base, std::vector<T>&& add) {
    merge_list(base, std::move(add));
}

// String, Int and Bool: the add-on's value replaces the base's.
template <class T>
void merge_payload(T& base, T&& add) {
    base = std::move(add);
}

// Both variants hold the same alternative; several alternatives may share a
// payload type, so dispatch by index, not by type.
template <class Variant, size_t... I>
void merge_alternative(Variant& base, Variant&& add, std::index_sequence<I...>) {
    const size_t index = base.index();
    ((index == I ? merge_payload(std::get<I>(base), std::get<I>(std::move(add))) : void()), ...);
}

template <class... Ts>
void merge_alternative(std::variant<Ts...>& base, std::variant<Ts...>&& add) {
    merge_alternative(base, std::move(add), std::index_sequence_for<Ts...>{});
}

// Different sub-kinds are left alone without a warning.
void merge_payload(DeviceClass& base, DeviceClass&& add) {
    if (base.kind() != add.kind()) return;
    merge_alternative(base.value, std::move(add.value));
}

// Merges each base item with the first add-on item of the same name, in base
// order; lookups go through a sorted index, so matching stays O(n log n).
// A base list may name one add-on item twice: it is copied into the earlier
// matches and moved into the last.
template <class Item, class NameOf, class Merge>
void merge_by_name(std::vector<Item>& base, std::vector<Item>& add, NameOf name_of, Merge merge) {
    std::vector<std::pair<std::string_view, size_t>> index;  // (name, position), sorted
    index.reserve(add.size());
    for (size_t i = 0; i < add.size(); ++i) index.emplace_back(name_of(add[i]), i);
    std::sort(index.begin(), index.end());

    std::vector<std::optional<size_t>> match(base.size());
    std::vector<size_t> uses(add.size());
    for (size_t i = 0; i < base.size(); ++i) {
        const std::string_view name = name_of(base[i]);
        auto it = std::lower_bound(index.begin(), index.end(), std::pair(name, size_t{0}));
        if (it == index.end() || it->first != name) continue;
        match[i] = it->second;
        ++uses[it->second];
    }
    for (size_t i = 0; i < base.size(); ++i) {
        if (!match[i]) continue;
        Item& item = add[*match[i]];
        if (--uses[*match[i]] == 0)
            merge(base[i], std::move(item));
        else
            merge(base[i], Item(item));
    }
}

void merge_module_maps(ModuleMap& base, ModuleMap&& add, MergePath& path) {
    merge_by_name(
        base, add, [](const ModuleEntry& e) -> std::string_view { return e.name; },
        [&](ModuleEntry& entry, ModuleEntry&& match) { merge_module(entry.module, std::move(match.module), path); });
}

}  // namespace

bool merge_same_kind(VariableTypes& base, VariableTypes&& add) {
    if (base.kind() != add.kind()) return false;
    merge_alternative(base.value, std::move(add.value));
    return true;
}

namespace {

// add has the same name as base. Logs a warning at the path and leaves base
// alone when the kinds differ.
void merge_variable(Variable& base, Variable&& add, MergePath& path) {
    path.push_back(base.name);
    if (!merge_same_kind(base.value, std::move(add.value)))
        log_message(LogLevel::Warning,
                    "skip merging variables differ in type at " + to_string(MergeLocation{path}));
    path.pop_back();
}

void merge_module(Module& base, Module&& add, MergePath& path) {
    path.push_back(base.type);
    base.type = std::move(add.type);
    base.enabled = add.enabled;
    base.interactive = add.interactive;
    base.addon = std::move(add.addon);
    merge_rules(base.rules, std::move(add.rules));
    merge_by_name(
        base.variables, add.variables, [](const Variable& v) -> std::string_view { return v.name; },
        [&](Variable& variable, Variable&& match) { merge_variable(variable, std::move(match), path); });
    merge_module_maps(base.modules, std::move(add.modules), path);
    path.pop_back();
}

}  // namespace

void merge_policy(Policy& base, Policy&& add, MergePath& path) {
    path.push_back(base.scene);
    base.scene = std::move(add.scene);
    base.enabled = add.enabled;
    base.addon = std::move(add.addon);
    base.priority = add.priority;
    base.audit = add.audit;
    base.interactive = add.interactive;
    base.third_party = add.third_party;
    base.version = add.version;
    merge_module_maps(base.modules, std::move(add.modules), path);
    path.pop_back();
}

}  // namespace devctl
