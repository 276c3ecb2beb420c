// The walk over the module tree and the section of each module.
#include "policy/defender_rules.h"
#include "policy/policy_writer.h"
#include "policy/render_text.h"
#include "policy/rule_lines.h"
#include "policy/variable_lines.h"

namespace devctl {
namespace {

// Lines every section of the "sm" scene carries after its rule lines.
constexpr std::string_view kSmSceneLines =
    "disallow * * * usb {use} if ($devctl & usb_disallow_use_by_id)\n"
    "disallow * * * usb {write} if ($devctl & usb_disallow_write_by_id)\n"
    "disallow * * * file {exec,interpret} if ($devctl & usb_disallow_exec_by_id)\n"
    "allow * * * usb {use} if ($devctl & usb_allow_use_by_id)\n"
    "allow * * * usb {write} if ($devctl & usb_allow_write_by_id)\n"
    "allow * * * file {exec,interpret} if ($devctl & usb_allow_exec_by_id)\n"
    "disallow * * * ethernet {use, write} if ($devctl & disallow_by_name)\n"
    "disallow * * * wireless {use, write} if ($devctl & disallow_by_name)\n";

void write_scene_block(const Module& module, PolicyWriter& writer) {
    if (writer.name == kSmScene) {
        room(writer.rules).append(kSmSceneLines);
    } else if (writer.name == kDefenderScene) {
        write_defender_rules(module, writer);
    }
}

void write_rule_lines(const Module& module, PolicyWriter& writer) {
    const std::vector<FuncPlaceholder> placeholders = collect_func_variables(module);
    for (const PolicyRule& rule : module.rules) {
        if (rule.permission.empty()) continue;
        append_rule_line(room(writer.rules), rule, placeholders);
    }
}

}  // namespace

void write_modules(const ModuleMap& modules, PolicyWriter& writer) {
    for (const ModuleEntry& entry : modules) {
        writer.path.push_back(entry.name);
        write_module_section(entry.module, writer);
        writer.path.pop_back();
    }
}

void write_module_section(const Module& module, PolicyWriter& writer) {
    const std::string_view key = writer.path.back();
    append_line(writer.declarations, {"dynamic bool ", key, " = ", bool_text(module.enabled)});
    write_modules(module.modules, writer);
    if (!writer.rules_started) {
        append_line(writer.rules, {"#@RULES"});
        writer.rules_started = true;
    }
    append_line(writer.rules, {"\n# rules start: ", module.type});
    append_line(writer.rules, {"\n%SECTION ", scoped_name(writer)});
    if (!module.rules.empty()) {
        append_line(writer.rules, {"interactive = ", interactive_number(module.interactive)});
    }
    const std::string_view module_name = module.addon.empty() ? writer.name : module.addon;
    append_line(writer.rules, {"module_name = ", module_name});
    for (const Variable& variable : module.variables) write_variable(writer, variable);
    write_rule_lines(module, writer);
    write_scene_block(module, writer);
    append_line(writer.rules, {"\n%ENDSEC"});
    append_line(writer.rules, {"# rules end: ", module.type, "\n"});
}

}  // namespace devctl
