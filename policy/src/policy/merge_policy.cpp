#include "policy/merge_policy.h"

#include <utility>
#include <variant>

#include "log/log.h"
#include "policy/merge_list.h"
#include "policy/merge_name_index.h"

namespace devctl {

namespace {

void merge_module(Module& base, const Module& add, MergePath& path);
void merge_payload(DeviceClass& base, const DeviceClass& add);

template <class T>
void merge_payload(std::vector<T>& base, const std::vector<T>& add) {
    merge_list(base, add);
}

// String, Int and Bool: the add-on's value replaces the base's.
template <class T>
void merge_payload(T& base, const T& add) {
    base = add;
}

// Both variants hold the same alternative; several alternatives may share a
// payload type, so dispatch by index, not by type.
template <class Variant, size_t... I>
void merge_alternative(Variant& base, const Variant& add, std::index_sequence<I...>) {
    const size_t index = base.index();
    ((index == I ? merge_payload(std::get<I>(base), std::get<I>(add)) : void()), ...);
}

template <class... Ts>
void merge_alternative(std::variant<Ts...>& base, const std::variant<Ts...>& add) {
    merge_alternative(base, add, std::index_sequence_for<Ts...>{});
}

// Different sub-kinds are left alone without a warning.
void merge_payload(DeviceClass& base, const DeviceClass& add) {
    if (base.kind() != add.kind()) return;
    merge_alternative(base.value, add.value);
}

void merge_module_maps(ModuleMap& base, const ModuleMap& add, MergePath& path) {
    const NameIndex index = index_by_name(add, [](const ModuleEntry& e) -> const std::string& { return e.name; });
    for (ModuleEntry& entry : base)
        if (auto found = find_first(index, entry.name)) merge_module(entry.module, add[*found].module, path);
}

}  // namespace

bool merge_same_kind(VariableTypes& base, const VariableTypes& add) {
    if (base.kind() != add.kind()) return false;
    merge_alternative(base.value, add.value);
    return true;
}

namespace {

// Logs a warning at the path and leaves base alone when the kinds differ.
void merge_variable_value(Variable& base, const Variable& add, const MergePath& path) {
    if (!merge_same_kind(base.value, add.value))
        log_message(LogLevel::Warning,
                    "skip merging variables differ in type at " + to_string(MergeLocation{path}));
}

// add has the same name as base.
void merge_variable(Variable& base, const Variable& add, MergePath& path) {
    path.push_back(base.name);
    merge_variable_value(base, add, path);
    path.pop_back();
}

void merge_module(Module& base, const Module& add, MergePath& path) {
    path.push_back(base.type);
    base.type = add.type;
    base.enabled = add.enabled;
    base.interactive = add.interactive;
    base.addon = add.addon;
    merge_rules(base.rules, add.rules);

    // Two base variables of one name both merge with the first add-on match.
    const NameIndex index = index_by_name(add.variables, [](const Variable& v) -> const std::string& { return v.name; });
    for (Variable& variable : base.variables)
        if (auto found = find_first(index, variable.name)) merge_variable(variable, add.variables[*found], path);

    merge_module_maps(base.modules, add.modules, path);
    path.pop_back();
}

}  // namespace

void merge_policy(Policy& base, const Policy& add, MergePath& path) {
    path.push_back(base.scene);
    base.scene = add.scene;
    base.enabled = add.enabled;
    base.addon = add.addon;
    base.priority = add.priority;
    base.audit = add.audit;
    base.interactive = add.interactive;
    base.third_party = add.third_party;
    base.version = add.version;
    merge_module_maps(base.modules, add.modules, path);
    path.pop_back();
}

}  // namespace devctl
