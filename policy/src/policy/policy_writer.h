#pragma once
// Renders one scene policy into the rule text that the policy interpreter
// compiles. The text is collected as entries and joined once at the end.
#include <string>
#include <string_view>
#include <vector>

#include "model/policy.h"

namespace devctl {

// The state of one rendering: create it for a policy's scene, fill it with
// write_policy, consume it with render_policy_text.
struct PolicyWriter {
    std::string name;               // the policy's scene
    std::vector<std::string> path;  // keys of the modules being written, outermost first
    std::vector<std::string> declarations;
    std::vector<std::string> rules;
    bool rules_started = false;     // "#@RULES" appended to rules
};

PolicyWriter make_policy_writer(std::string scene);

// Header entries, then every module section.
void write_policy(const Policy& policy, PolicyWriter& writer);

// Every module of one map, in the map's order, each subtree before its next sibling.
void write_modules(const ModuleMap& modules, PolicyWriter& writer);

// One module's section, its sub-modules' sections first; its key is the
// last element of writer.path.
void write_module_section(const Module& module, PolicyWriter& writer);

void write_string_variable(PolicyWriter& writer, std::string_view key, std::string_view value);

// The writer's name, "_" and the key of the module being written.
std::string scoped_name(const PolicyWriter& writer);

// Drops empty entries, joins each part with line feeds; no final line feed added.
std::string render_policy_text(PolicyWriter&& writer);

// The whole rendering of one policy, as the scene sync needs it.
std::string policy_rule_text(const Policy& policy);

}  // namespace devctl
