// The written form, and reading it back.
#include <gtest/gtest.h>

#include "model/order.h"
#include "model/policy_json.h"

namespace devctl {
namespace {

template <VariableKind K, class Payload>
VariableTypes value_of(Payload payload) {
    return VariableTypes{VariableTypes::Value(std::in_place_index<kind_index<K>>, std::move(payload))};
}

Policy sample() {
    Policy p;
    p.scene = "vop_defender";
    p.enabled = true;
    p.priority = -5;
    p.interactive = Interactive::Notice;
    p.version = 3;
    Module inner;
    inner.type = "leaf";
    inner.section_changed = true;
    Module outer;
    outer.type = "t\"q\\\n\x01/é";
    outer.enabled = true;
    outer.enable_dyn_changed = true;
    outer.interactive = Interactive::Authorize;
    module_map_insert(outer.modules, "leaf", inner);
    PolicyRule named{"n", "allow", "*", "s", "o", "usb", {"read", "write"}, "f", ""};
    PolicyRule unnamed{std::nullopt, "deny", "u", "s", "o", "file", {}, "", "e"};
    outer.rules = {named, unnamed};
    using K = VariableKind;
    outer.variables = {
        {"uid", value_of<K::Uid>(std::vector<int32_t>{0, -1, 2147483647})},
        {"users", value_of<K::Username>(StringList{"root"})},
        {"mods", value_of<K::Kmod>(StringList{})},
        {"paths", value_of<K::Path>(StringList{"/a", "/b"})},
        {"pkgs", value_of<K::Package>(StringList{"p"})},
        {"dev", value_of<K::DeviceClass>(DeviceClass{std::vector<UsbType>{UsbType::Hid, UsbType::Usb8020}})},
        {"ifs", value_of<K::DeviceClass>(DeviceClass{std::vector<InterfaceType>{InterfaceType::Mmc}})},
        {"devs", value_of<K::DeviceClass>(DeviceClass{std::vector<DeviceType>{DeviceType::Cdrom}})},
        {"pvid", value_of<K::Pvid>(std::vector<Pvid>{{8, 1, 4294967295u, std::nullopt, "n"}})},
        {"net", value_of<K::Netcard>(std::vector<Netcard>{{"eth0", NetcardType::WirelessCard}})},
        {"func", value_of<K::Func>(StringList{"f"})},
        {"pp", value_of<K::PathPackage>(StringList{"x"})},
        {"s", value_of<K::String>(std::string("enable"))},
        {"i", value_of<K::Int>(-2147483647 - 1)},
        {"b", value_of<K::Bool>(false)},
    };
    module_map_insert(p.modules, "outer", outer);
    module_map_insert(p.modules, "empty", Module{});
    return p;
}

TEST(PolicyRoundTrip, ExactWrittenForm) {
    Policy p;
    p.scene = "s";
    p.interactive = Interactive::Authorize;
    Module m;
    m.type = "t";
    m.enable_dyn_changed = true;
    m.rules = {PolicyRule{std::nullopt, "o", "u", "s", "b", "t", {}, "f", "e"}};
    m.variables = {{"v", value_of<VariableKind::Pvid>(std::vector<Pvid>{{-1, 2, 3, std::nullopt, std::nullopt}})}};
    module_map_insert(p.modules, "m", m);
    EXPECT_EQ(serialize_policy(p), R"({
  "scene": "s",
  "enabled": false,
  "addon": "",
  "priority": 0,
  "audit": false,
  "interactive": "authorize",
  "third_party": false,
  "version": 0,
  "modules": {
    "m": {
      "type": "t",
      "enabled": false,
      "interactive": "disabled",
      "modules": {},
      "rules": [
        {
          "operation": "o",
          "user": "u",
          "subject": "s",
          "object": "b",
          "object_type": "t",
          "permission": [],
          "func": "f",
          "eval_func": "e"
        }
      ],
      "variables": [
        {
          "name": "v",
          "value": {
            "type": "pvid",
            "value": [
              {
                "usb_type": -1,
                "pid": 2,
                "vid": 3,
                "serial": null,
                "name": null
              }
            ]
          }
        }
      ],
      "addon": ""
    }
  }
})");
}

TEST(PolicyRoundTrip, ReadingTheWrittenFormGivesTheSameValues) {
    Policy original = sample();
    std::string text = serialize_policy(original);
    EXPECT_NE(text.find("\"name\": \"n\",\n"), std::string::npos);  // name first
    EXPECT_NE(text.find("\"type\": \"t\\\"q\\\\\\n\\u0001/é\""), std::string::npos);
    auto back = deserialize_policy(text);
    ASSERT_TRUE(back) << to_string(back.error());
    EXPECT_EQ(serialize_policy(*back), text);

    const Module& outer = back->modules.at(0).module;
    EXPECT_EQ(back->modules.at(0).name, "outer");
    EXPECT_EQ(back->modules.at(1).name, "empty");
    EXPECT_FALSE(outer.enable_dyn_changed);
    EXPECT_FALSE(outer.modules.at(0).module.section_changed);
    ASSERT_EQ(outer.variables.size(), original.modules.at(0).module.variables.size());
    for (size_t i = 0; i < outer.variables.size(); ++i)
        EXPECT_EQ(outer.variables[i].value.kind(), original.modules.at(0).module.variables[i].value.kind()) << i;
    EXPECT_EQ(outer.rules.size(), 2u);
    EXPECT_TRUE(policy_rule_eq(outer.rules[0], original.modules.at(0).module.rules[0]));
    EXPECT_TRUE(policy_rule_eq(outer.rules[1], original.modules.at(0).module.rules[1]));
    EXPECT_EQ(back->priority, -5);
    EXPECT_EQ(back->interactive, Interactive::Notice);
}

}  // namespace
}  // namespace devctl
