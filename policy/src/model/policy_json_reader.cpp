// Reading a policy document in one pass straight into the records.
#include <array>
#include <iterator>
#include <unordered_set>

#include "json/record.h"
#include "json/value_readers.h"
#include "model/policy_json.h"
#include "model/variable_json.h"

namespace devctl {
namespace {

using json::Reader;

constexpr std::array<std::string_view, 9> kPolicyKeys = {
    "scene", "enabled", "addon", "priority", "audit", "interactive", "third_party", "version",
    "modules",
};
constexpr json::RecordShape kPolicyShape{"struct Policy", "struct Policy with 9 elements",
                                         kPolicyKeys, 0x1FF, 0};

constexpr std::array<std::string_view, 9> kModuleKeys = {
    "type", "enabled", "enable_dyn_changed", "interactive", "modules", "rules", "variables",
    "addon", "section_changed",
};
// enable_dyn_changed (2) and section_changed (8) are optional flags.
constexpr json::RecordShape kModuleShape{"struct Module", "struct Module with 9 elements",
                                         kModuleKeys, 0x0FB, 0x104};

constexpr std::array<std::string_view, 9> kRuleKeys = {
    "name", "operation", "user", "subject", "object", "object_type", "permission", "func",
    "eval_func",
};
// name may be absent from the object form, never from the array form.
constexpr json::RecordShape kRuleShape{"struct PolicyRule", "struct PolicyRule with 9 elements",
                                       kRuleKeys, 0x1FE, 0};

constexpr std::array<std::string_view, 2> kVariableKeys = {"name", "value"};
constexpr json::RecordShape kVariableShape{"struct Variable", "struct Variable with 2 elements",
                                           kVariableKeys, 0x3, 0};

bool deserialize_interactive(Reader& reader, Interactive& out) {
    int c = reader.peek();
    if (c != '"') return reader.fail_invalid_type("string representation of interactive enum");
    std::string_view text;
    if (!reader.parse_string(text)) return false;
    auto value = interactive_from_str(text);
    if (!value) {
        return reader.fail("invalid interactive value " + std::string(text) + ": " + value.error(),
                           JsonErrorCategory::Data);
    }
    out = *value;
    return true;
}

// Working space of one document read: the tree holds one variable value at a
// time, the lists one record's list while it is read, so that the record's
// own list is then allocated once at its exact size. Rule lists are left to
// grow in place: the merge rebuilds them anyway, and reading them through
// here raised its peak memory.
struct ReadSpace {
    json::ValueTree& tree;
    std::vector<Variable> variables;
    StringList strings;
};

template <class T, class ReadElement>
bool read_sized_list(Reader& reader, std::vector<T>& scratch, std::vector<T>& out, ReadElement read_element) {
    scratch.clear();
    if (!json::read_list(reader, [&] { return read_element(scratch.emplace_back()); })) return false;
    out.assign(std::make_move_iterator(scratch.begin()), std::make_move_iterator(scratch.end()));
    return true;
}

bool deserialize_policy_rule(Reader& reader, ReadSpace& space, PolicyRule& rule) {
    return json::read_record(reader, kRuleShape, [&](size_t field) {
        switch (field) {
            case 0: return json::read_optional(reader, rule.name, json::read_string);
            case 1: return json::read_string(reader, rule.operation);
            case 2: return json::read_string(reader, rule.user);
            case 3: return json::read_string(reader, rule.subject);
            case 4: return json::read_string(reader, rule.object);
            case 5: return json::read_string(reader, rule.object_type);
            case 6:
                return read_sized_list(reader, space.strings, rule.permission,
                                       [&](std::string& text) { return json::read_string(reader, text); });
            case 7: return json::read_string(reader, rule.func);
            default: return json::read_string(reader, rule.eval_func);
        }
    });
}

bool deserialize_variable(Reader& reader, json::ValueTree& tree, Variable& variable) {
    return json::read_record(reader, kVariableShape, [&](size_t field) {
        if (field == 0) return json::read_string(reader, variable.name);
        return deserialize_variable_types(reader, tree, variable.value);
    });
}

// Fills a module map as module_map_insert would (first place kept, later
// module taken), with a hash index once the map is large so that thousands
// of modules do not cost quadratic time.
class ModuleMapBuilder {
public:
    explicit ModuleMapBuilder(ModuleMap& map) : map_(map), index_(0, Hash{&map}, Equal{&map}) {}

    void insert(std::string name, Module module) {
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

bool deserialize_module(Reader& reader, ReadSpace& space, Module& module);

bool read_modules(Reader& reader, ReadSpace& space, ModuleMap& map) {
    map.clear();
    ModuleMapBuilder builder(map);
    return json::read_map(reader, [&](std::string_view key) {
        std::string name(key);
        Module module;
        if (!deserialize_module(reader, space, module)) return false;
        builder.insert(std::move(name), std::move(module));
        return true;
    });
}

bool deserialize_module(Reader& reader, ReadSpace& space, Module& module) {
    return json::read_record(reader, kModuleShape, [&](size_t field) {
        switch (field) {
            case 0: return json::read_string(reader, module.type);
            case 1: return json::read_bool(reader, module.enabled);
            case 2: return json::read_bool(reader, module.enable_dyn_changed);
            case 3: return deserialize_interactive(reader, module.interactive);
            case 4: return read_modules(reader, space, module.modules);
            case 5:
                return json::read_list(reader, [&] {
                    return deserialize_policy_rule(reader, space, module.rules.emplace_back());
                });
            case 6:
                return read_sized_list(reader, space.variables, module.variables, [&](Variable& variable) {
                    return deserialize_variable(reader, space.tree, variable);
                });
            case 7: return json::read_string(reader, module.addon);
            default: return json::read_bool(reader, module.section_changed);
        }
    });
}

bool read_policy(Reader& reader, json::ValueTree& tree, Policy& policy) {
    ReadSpace space{tree, {}, {}};
    return json::read_record(reader, kPolicyShape, [&](size_t field) {
        switch (field) {
            case 0: return json::read_string(reader, policy.scene);
            case 1: return json::read_bool(reader, policy.enabled);
            case 2: return json::read_string(reader, policy.addon);
            case 3: return json::read_i32(reader, policy.priority);
            case 4: return json::read_bool(reader, policy.audit);
            case 5: return deserialize_interactive(reader, policy.interactive);
            case 6: return json::read_bool(reader, policy.third_party);
            case 7: return json::read_i32(reader, policy.version);
            default: return read_modules(reader, space, policy.modules);
        }
    });
}

}  // namespace

Expected<Policy, JsonError> deserialize_policy(std::string_view text) {
    Reader reader(text);
    json::ValueTree tree;
    Policy policy;
    if (!read_policy(reader, tree, policy) || !reader.finish()) return Unexpected(reader.take_error());
    return policy;
}

}  // namespace devctl
