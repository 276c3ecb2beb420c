// The walk over the module tree and the section of each module.
#include <array>

#include "policy/defender_rules.h"
#include "policy/policy_writer.h"
#include "policy/render_text.h"
#include "policy/rule_lines.h"
#include "policy/variable_lines.h"

namespace devctl {
namespace {

// Lines every section of the "sm" scene carries after its rule lines.
constexpr std::array<std::string_view, 8> kSmSceneLines = {
    "disallow * * * usb {use} if ($devctl & usb_disallow_use_by_id)",
    "disallow * * * usb {write} if ($devctl & usb_disallow_write_by_id)",
    "disallow * * * file {exec,interpret} if ($devctl & usb_disallow_exec_by_id)",
    "allow * * * usb {use} if ($devctl & usb_allow_use_by_id)",
    "allow * * * usb {write} if ($devctl & usb_allow_write_by_id)",
    "allow * * * file {exec,interpret} if ($devctl & usb_allow_exec_by_id)",
    "disallow * * * ethernet {use, write} if ($devctl & disallow_by_name)",
    "disallow * * * wireless {use, write} if ($devctl & disallow_by_name)",
};

void write_scene_block(const Module& module, PolicyWriter& writer) {
    if (writer.name == kSmScene) {
        for (std::string_view line : kSmSceneLines) writer.rules.emplace_back(line);
    } else if (writer.name == kDefenderScene) {
        write_defender_rules(module, writer);
    }
}

void write_rule_lines(const Module& module, PolicyWriter& writer) {
    const std::vector<FuncPlaceholder> placeholders = collect_func_variables(module);
    for (const PolicyRule& rule : module.rules) {
        if (rule.permission.empty()) continue;
        writer.rules.push_back(rule_line(rule, placeholders));
    }
}

}  // namespace

void write_modules(const ModuleMap& modules, PolicyWriter& writer) {
    for (const ModuleEntry& entry : modules) {
        const size_t depth = writer.path.size();
        writer.path.push_back(entry.name);
        write_module_section(entry.module, writer);
        writer.path.resize(depth);
    }
}

void write_module_section(const Module& module, PolicyWriter& writer) {
    writer.declarations.push_back(concat_text(
        {"dynamic bool ", writer.path.back(), " = ", bool_text(module.enabled)}));
    write_modules(module.modules, writer);
    if (!writer.rules_started) {
        writer.rules.push_back("#@RULES");
        writer.rules_started = true;
    }
    writer.rules.push_back(concat_text({"\n# rules start: ", module.type}));
    writer.rules.push_back(concat_text({"\n%SECTION ", scoped_name(writer)}));
    if (!module.rules.empty()) {
        writer.rules.push_back(concat_text({"interactive = ", interactive_number(module.interactive)}));
    }
    writer.rules.push_back(
        concat_text({"module_name = ", module.addon.empty() ? writer.name : module.addon}));
    for (const Variable& variable : module.variables) write_variable(writer, variable);
    write_rule_lines(module, writer);
    write_scene_block(module, writer);
    writer.rules.push_back("\n%ENDSEC");
    writer.rules.push_back(concat_text({"# rules end: ", module.type, "\n"}));
}

}  // namespace devctl
