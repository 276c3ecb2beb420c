#pragma once
// A large scene policy for the rendering benchmark: many modules with list
// variables, func placeholders, rules and one sub-module each.
#include <string>
#include <vector>

#include "model/policy.h"

namespace devctl::bench {

inline Variable bench_variable(std::string name, VariableTypes::Value value) {
    return Variable{std::move(name), VariableTypes{std::move(value)}};
}

template <VariableKind K, class Payload>
VariableTypes::Value bench_value(Payload payload) {
    return VariableTypes::Value(std::in_place_index<kind_index<K>>, std::move(payload));
}

inline Module bench_module(int index, int rules_per_module) {
    Module m;
    m.type = "type_" + std::to_string(index % 17);
    m.enabled = index % 2 == 0;
    m.interactive = static_cast<Interactive>(index % 3);
    m.addon = index % 5 == 0 ? "addon_" + std::to_string(index) : "";
    std::vector<int32_t> uids;
    StringList paths;
    for (int i = 0; i < 8; ++i) {
        uids.push_back(1000 + i - index);
        paths.push_back("/usr/lib/app" + std::to_string(index) + "/bin/tool_" + std::to_string(i));
    }
    m.variables.push_back(bench_variable("uid_list", bench_value<VariableKind::Uid>(uids)));
    m.variables.push_back(bench_variable("path_list", bench_value<VariableKind::Path>(paths)));
    m.variables.push_back(bench_variable(
        "func_paths", bench_value<VariableKind::Func>(StringList{paths[0], paths[1]})));
    m.variables.push_back(bench_variable(
        "device_disable_list",
        bench_value<VariableKind::DeviceClass>(DeviceClass{std::vector{
            DeviceType::Bluetooth, DeviceType::Cdrom, DeviceType::Ethernet, DeviceType::Tape}})));
    m.variables.push_back(bench_variable(
        "interface_readonly_list",
        bench_value<VariableKind::DeviceClass>(
            DeviceClass{std::vector{InterfaceType::Hdmi, InterfaceType::Typec}})));
    m.variables.push_back(bench_variable(
        "usb_disable_list", bench_value<VariableKind::DeviceClass>(DeviceClass{std::vector{
                                UsbType::Usb, UsbType::Audio, UsbType::MassStorage}})));
    m.variables.push_back(
        bench_variable("usb_group_perm", bench_value<VariableKind::String>(std::string("enable"))));
    for (int r = 0; r < rules_per_module; ++r) {
        PolicyRule rule;
        rule.name = "rule_" + std::to_string(r);
        rule.operation = r % 2 ? "allow" : "disallow";
        rule.user = "*";
        rule.subject = r % 3 ? "*" : "uid_list";
        rule.object = "path_list";
        rule.object_type = "file";
        rule.permission = {"read", "write", "exec"};
        rule.func = "if ($devctl & in_list(@@func_paths@@))";
        rule.eval_func = "eval";
        m.rules.push_back(std::move(rule));
    }
    return m;
}

// modules top-level modules, each holding one copy of a smaller module.
inline Policy bench_policy(std::string scene, int modules, int rules_per_module) {
    Policy p;
    p.scene = std::move(scene);
    p.enabled = true;
    p.priority = 10;
    p.interactive = Interactive::Notice;
    for (int i = 0; i < modules; ++i) {
        Module m = bench_module(i, rules_per_module);
        module_map_insert(m.modules, "sub_" + std::to_string(i), bench_module(i + 1, 2));
        module_map_insert(p.modules, "module_" + std::to_string(i), std::move(m));
    }
    return p;
}

}  // namespace devctl::bench
