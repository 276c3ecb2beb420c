#pragma once
// Short constructors for the policy values the rendering tests walk.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "model/policy.h"
#include "policy/policy_writer.h"

namespace devctl::render_test {

template <VariableKind K, class Payload>
Variable var(std::string name, Payload payload) {
    return Variable{std::move(name), VariableTypes{VariableTypes::Value(
                                         std::in_place_index<kind_index<K>>, std::move(payload))}};
}

template <class Item>
Variable class_var(std::string name, std::vector<Item> items) {
    return var<VariableKind::DeviceClass>(std::move(name), DeviceClass{std::move(items)});
}

inline Variable func_var(std::string name, StringList values) {
    return var<VariableKind::Func>(std::move(name), std::move(values));
}

inline Variable string_var(std::string name, std::string text) {
    return var<VariableKind::String>(std::move(name), std::move(text));
}

inline PolicyRule rule(std::string subject, std::string object, std::vector<std::string> permission,
                       std::string func = "if ($devctl)") {
    PolicyRule r;
    r.operation = "disallow";
    r.user = "*";
    r.subject = std::move(subject);
    r.object = std::move(object);
    r.object_type = "file";
    r.permission = std::move(permission);
    r.func = std::move(func);
    return r;
}

inline Module module(std::string type, std::vector<Variable> variables = {},
                     std::vector<PolicyRule> rules = {}) {
    Module m;
    m.type = std::move(type);
    m.variables = std::move(variables);
    m.rules = std::move(rules);
    return m;
}

inline Policy policy(std::string scene, ModuleMap modules = {}) {
    Policy p;
    p.scene = std::move(scene);
    p.modules = std::move(modules);
    return p;
}

// A policy whose one top-level module holds one sub-module.
inline Policy nested_policy(std::string scene, std::string outer_key, Module outer,
                            std::string inner_key, Module inner) {
    module_map_insert(outer.modules, std::move(inner_key), std::move(inner));
    Policy p = policy(std::move(scene));
    module_map_insert(p.modules, std::move(outer_key), std::move(outer));
    return p;
}

inline std::string block_text(const TextBlock& block) {
    std::string text;
    append_block(text, block);
    return text;
}

// The rules one module's section appends, without the walk around it.
inline std::string section_rules(const std::string& scene, const Module& m,
                                 const std::string& key = "m") {
    PolicyWriter writer = make_policy_writer(scene);
    writer.path.push_back(key);
    write_module_section(m, writer);
    const std::string rules = block_text(writer.rules);
    const std::string_view opening = "#@RULES\n";
    EXPECT_TRUE(rules.starts_with(opening));
    return rules.substr(opening.size());
}

}  // namespace devctl::render_test
