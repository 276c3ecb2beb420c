// Writing a policy document in the pretty form.
#include "json/writer.h"
#include "model/policy_json.h"
#include "model/variable_json.h"

namespace devctl {
namespace {

using json::Writer;

void write_text(Writer& w, std::string_view key, std::string_view text) {
    w.key(key);
    w.string(text);
}

void write_flag(Writer& w, std::string_view key, bool value) {
    w.key(key);
    w.boolean(value);
}

void write_interactive(Writer& w, Interactive value) {
    w.key("interactive");
    w.string(interactive_to_string(value));
}

void serialize_policy_rule(const PolicyRule& rule, Writer& w) {
    w.begin_object();
    if (rule.name) write_text(w, "name", *rule.name);
    write_text(w, "operation", rule.operation);
    write_text(w, "user", rule.user);
    write_text(w, "subject", rule.subject);
    write_text(w, "object", rule.object);
    write_text(w, "object_type", rule.object_type);
    w.key("permission");
    w.begin_array();
    for (const auto& permission : rule.permission) w.string(permission);
    w.end_array();
    write_text(w, "func", rule.func);
    write_text(w, "eval_func", rule.eval_func);
    w.end_object();
}

void serialize_variable(const Variable& variable, Writer& w) {
    w.begin_object();
    write_text(w, "name", variable.name);
    w.key("value");
    serialize_variable_types(variable.value, w);
    w.end_object();
}

void serialize_modules(const ModuleMap& modules, Writer& w);

void serialize_module(const Module& module, Writer& w) {
    w.begin_object();
    write_text(w, "type", module.type);
    write_flag(w, "enabled", module.enabled);
    write_interactive(w, module.interactive);
    serialize_modules(module.modules, w);
    w.key("rules");
    w.begin_array();
    for (const auto& rule : module.rules) serialize_policy_rule(rule, w);
    w.end_array();
    w.key("variables");
    w.begin_array();
    for (const auto& variable : module.variables) serialize_variable(variable, w);
    w.end_array();
    write_text(w, "addon", module.addon);
    w.end_object();
}

void serialize_modules(const ModuleMap& modules, Writer& w) {
    w.key("modules");
    w.begin_object();
    for (const auto& entry : modules) {
        w.key(entry.name);
        serialize_module(entry.module, w);
    }
    w.end_object();
}

void serialize_document(const Policy& policy, Writer& w) {
    w.begin_object();
    write_text(w, "scene", policy.scene);
    write_flag(w, "enabled", policy.enabled);
    write_text(w, "addon", policy.addon);
    w.key("priority");
    w.integer(policy.priority);
    write_flag(w, "audit", policy.audit);
    write_interactive(w, policy.interactive);
    write_flag(w, "third_party", policy.third_party);
    w.key("version");
    w.integer(policy.version);
    serialize_modules(policy.modules, w);
    w.end_object();
}

}  // namespace

std::string serialize_policy(const Policy& policy) {
    Writer w;
    serialize_document(policy, w);
    return w.take();
}

void serialize_policy(const Policy& policy, Writer::Sink sink) {
    Writer w(sink);
    serialize_document(policy, w);
    w.flush();
}

}  // namespace devctl
