#pragma once
// Renders one scene policy into the rule text that the policy interpreter
// compiles. Lines go straight into two blocks, declarations and rules, since
// every declaration comes before the first rule; the text is the two blocks
// one after the other.
#include <string>
#include <string_view>
#include <vector>

#include "json/function_ref.h"
#include "model/policy.h"
#include "policy/render_text.h"

namespace devctl {

// The state of one rendering: create it for a policy's scene, fill it with
// write_policy, then take its text with render_policy_text or
// stream_policy_text.
struct PolicyWriter {
    std::string name;                    // the policy's scene
    std::vector<std::string_view> path;  // keys of the modules being written, outermost first
    TextBlock declarations;              // every line ends with a line feed
    TextBlock rules;                     // likewise; "#@RULES" comes first
    bool rules_started = false;          // "#@RULES" is written
};

PolicyWriter make_policy_writer(std::string scene);

// Header lines, then every module section.
void write_policy(const Policy& policy, PolicyWriter& writer);

// Every module of one map, in the map's order, each subtree before its next sibling.
void write_modules(const ModuleMap& modules, PolicyWriter& writer);

// One module's section, its sub-modules' sections first; its key is the
// last element of writer.path.
void write_module_section(const Module& module, PolicyWriter& writer);

// "#@NAMESPACE" and "string KEY = VALUE"; for "module_name" instead
// "string module_name = " the writer's name and "#@VARIABLES".
void write_string_variable(PolicyWriter& writer, std::string_view key, std::string_view value);

// The writer's name, "_" and the key of the module being written.
std::string scoped_name(const PolicyWriter& writer);

// The declarations, then the rules without their final line feed.
std::string render_policy_text(const PolicyWriter& writer);
// The same text handed to out piece by piece, as the blocks hold it.
void stream_policy_text(const PolicyWriter& writer, json::FunctionRef<void(std::string_view)> out);

// The whole rendering of one policy, as the scene sync needs it.
std::string policy_rule_text(const Policy& policy);

}  // namespace devctl
