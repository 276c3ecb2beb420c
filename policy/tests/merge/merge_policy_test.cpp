// Overlay of documents: which values are taken, which shape is kept.
#include <gtest/gtest.h>

#include "merge_builders.h"
#include "policy/merge.h"

namespace devctl {
namespace {

using namespace test;

Policy merged(Policy base, Policy add) {
    MergePath path;
    merge_policy(base, std::move(add), path);
    EXPECT_TRUE(path.empty());
    return base;
}

TEST(MergePolicyTest, SingleValuesComeFromTheAddon) {
    Policy base = policy("base");
    Policy add = policy("addon");
    add.enabled = true;
    add.addon = "a1";
    add.priority = -7;
    add.audit = true;
    add.interactive = Interactive::Notice;
    add.third_party = true;
    add.version = 3;
    const Policy out = merged(base, add);
    EXPECT_EQ(out.scene, "addon");
    EXPECT_TRUE(out.enabled);
    EXPECT_EQ(out.addon, "a1");
    EXPECT_EQ(out.priority, -7);
    EXPECT_TRUE(out.audit);
    EXPECT_EQ(out.interactive, Interactive::Notice);
    EXPECT_TRUE(out.third_party);
    EXPECT_EQ(out.version, 3);
}

TEST(MergePolicyTest, BaseShapeIsKept) {
    Policy base = policy("s", {{"only_base", module("t", {}, {rule("b", "/x"), rule("a", "/x"), rule("b", "/x")})},
                               {"both", module("t")}});
    Policy add = policy("s", {{"only_addon", module("t", {}, {rule("z", "/z")})}, {"both", module("t2")}});
    const Policy out = merged(base, add);
    ASSERT_EQ(out.modules.size(), 2u);
    EXPECT_EQ(out.modules[0].name, "only_base");
    EXPECT_EQ(out.modules[1].name, "both");
    // Untouched modules keep their rule order and duplicates.
    const Module& untouched = out.modules[0].module;
    ASSERT_EQ(untouched.rules.size(), 3u);
    EXPECT_EQ(untouched.rules[0].name, "b");
    EXPECT_EQ(untouched.rules[1].name, "a");
    EXPECT_EQ(out.modules[1].module.type, "t2");
}

TEST(MergePolicyTest, EmptyAddonRulesStillSortAndDedupTheBase) {
    Policy base = policy("s", {{"m", module("t", {}, {rule("b", "/x"), rule("a", "/x"), rule("b", "/x")})}});
    const Policy out = merged(base, policy("s", {{"m", module("t")}}));
    const auto& rules = out.modules[0].module.rules;
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].name, "a");
    EXPECT_EQ(rules[1].name, "b");
}

TEST(MergePolicyTest, ModuleFieldsAndInputFlags) {
    Module base_module = module("t");
    base_module.enable_dyn_changed = true;
    base_module.section_changed = true;
    base_module.addon = "old";
    Module add_module = module("t2");
    add_module.enabled = true;
    add_module.interactive = Interactive::Authorize;
    add_module.addon = "new";
    const Policy out = merged(policy("s", {{"m", base_module}}), policy("s", {{"m", add_module}}));
    const Module& m = out.modules[0].module;
    EXPECT_EQ(m.type, "t2");
    EXPECT_TRUE(m.enabled);
    EXPECT_EQ(m.interactive, Interactive::Authorize);
    EXPECT_EQ(m.addon, "new");
    EXPECT_TRUE(m.enable_dyn_changed);
    EXPECT_TRUE(m.section_changed);
}

TEST(MergePolicyTest, SubModulesMergeByKeyRecursively) {
    Module base_parent = module("p");
    base_parent.modules = {{"child", module("c", {uid_var("u", {2})})}, {"lonely", module("l")}};
    Module add_parent = module("p");
    add_parent.modules = {{"child", module("c", {uid_var("u", {1})})}, {"extra", module("x")}};
    const Policy out = merged(policy("s", {{"p", base_parent}}), policy("s", {{"p", add_parent}}));
    const ModuleMap& children = out.modules[0].module.modules;
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(std::get<0>(children[0].module.variables[0].value.value), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(children[1].name, "lonely");
}

TEST(MergePolicyTest, VariablesMatchTheFirstAddonVariableOfTheirName) {
    auto users = [](std::string name, StringList list) {
        return var<VariableKind::Username>(std::move(name), std::move(list));
    };
    Module base_module = module("t", {users("u", {"e"}), users("only_base", {"z", "z"}), users("u", {"f"})});
    // Names match exactly: neither another case nor a trailing blank is the same name.
    Module add_module = module("t", {users("U", {"g"}), users("u ", {"h"}), users("only_addon", {"a"}),
                                     users("u", {"a"}), users("u", {"x"})});
    const Policy out = merged(policy("s", {{"m", base_module}}), policy("s", {{"m", add_module}}));
    const auto& vars = out.modules[0].module.variables;
    ASSERT_EQ(vars.size(), 3u);
    // Both base variables named u take the same add-on list: it is not used up by the first.
    EXPECT_EQ(std::get<1>(vars[0].value.value), (StringList{"a", "e"}));
    EXPECT_EQ(std::get<1>(vars[1].value.value), (StringList{"z", "z"}));  // untouched
    EXPECT_EQ(std::get<1>(vars[2].value.value), (StringList{"a", "f"}));
}

TEST(MergePolicyTest, SecondAddonMergesIntoTheFirstResult) {
    Policy base = policy("base", {{"m", module("t", {uid_var("u", {5, 1, 5})})}});
    Policy first = policy("first", {{"m", module("t", {uid_var("u", {3})})}});
    first.priority = 1;
    Policy second = policy("second", {{"m", module("t", {uid_var("u", {2, 3})})}});
    second.priority = 2;
    const Policy out = merged(merged(base, first), second);
    EXPECT_EQ(out.scene, "second");
    EXPECT_EQ(out.priority, 2);
    EXPECT_EQ(std::get<0>(out.modules[0].module.variables[0].value.value), (std::vector<int32_t>{1, 2, 3, 5}));
}

struct KindCase {
    const char* what;
    VariableTypes base, add;
    bool merges;
    VariableTypes expected;
};

template <VariableKind K, class Payload>
VariableTypes value(Payload payload) {
    return var<K>("", std::move(payload)).value;
}

VariableTypes usb_class(std::vector<UsbType> list) {
    return value<VariableKind::DeviceClass>(DeviceClass{std::move(list)});
}

VariableTypes device_class(std::vector<DeviceType> list) {
    return value<VariableKind::DeviceClass>(DeviceClass{std::move(list)});
}

template <class T>
bool equal(const T& a, const T& b) {
    return a == b;
}
bool equal(const DeviceClass& a, const DeviceClass& b) { return a.value == b.value; }
// Pvid and Netcard lists are covered by the list tests.
bool equal(const std::vector<Pvid>&, const std::vector<Pvid>&) { return true; }
bool equal(const std::vector<Netcard>&, const std::vector<Netcard>&) { return true; }

template <size_t... I>
bool same_value(const VariableTypes::Value& a, const VariableTypes::Value& b, std::index_sequence<I...>) {
    return ((a.index() == I && b.index() == I && equal(std::get<I>(a), std::get<I>(b))) || ...);
}

bool same_value(const VariableTypes& a, const VariableTypes& b) {
    return same_value(a.value, b.value, std::make_index_sequence<std::variant_size_v<VariableTypes::Value>>{});
}

TEST(MergePolicyTest, ValuesByKind) {
    using K = VariableKind;
    using SL = StringList;
    const KindCase cases[] = {
        {"uid lists", value<K::Uid>(std::vector<int32_t>{5, 1, 5}), value<K::Uid>(std::vector<int32_t>{3}), true,
         value<K::Uid>(std::vector<int32_t>{1, 3, 5})},
        {"uid against username", value<K::Uid>(std::vector<int32_t>{5, 5}), value<K::Username>(SL{"x"}), false,
         value<K::Uid>(std::vector<int32_t>{5, 5})},
        {"kinds sharing a payload type still differ", value<K::Kmod>(SL{"b", "a"}), value<K::Path>(SL{"c"}), false,
         value<K::Kmod>(SL{"b", "a"})},
        {"path_package lists", value<K::PathPackage>(SL{"b", "a"}), value<K::PathPackage>(SL{"a"}), true,
         value<K::PathPackage>(SL{"a", "b"})},
        {"string replaced", value<K::String>(std::string("old")), value<K::String>(std::string("new")), true,
         value<K::String>(std::string("new"))},
        {"int replaced", value<K::Int>(int32_t{1}), value<K::Int>(int32_t{-2}), true, value<K::Int>(int32_t{-2})},
        {"bool replaced", value<K::Bool>(true), value<K::Bool>(false), true, value<K::Bool>(false)},
        {"int against string", value<K::Int>(int32_t{1}), value<K::String>(std::string("1")), false,
         value<K::Int>(int32_t{1})},
        {"device class of one sub-kind", usb_class({UsbType::Hub, UsbType::Hid}), usb_class({UsbType::Hub}), true,
         usb_class({UsbType::Hid, UsbType::Hub})},
        {"device class sub-kinds differ: untouched, no warning", usb_class({UsbType::Hub, UsbType::Hub}),
         device_class({DeviceType::Cdrom}), true, usb_class({UsbType::Hub, UsbType::Hub})},
    };
    for (const auto& c : cases) {
        VariableTypes base = c.base;
        EXPECT_EQ(merge_same_kind(base, VariableTypes(c.add)), c.merges) << c.what;
        EXPECT_TRUE(same_value(base, c.expected)) << c.what;
    }
}

TEST(MergePolicyTest, LocationJoinsPathWithDots) {
    EXPECT_EQ(to_string(MergeLocation{MergePath{"scene", "type", "var"}}), "scene.type.var");
    EXPECT_EQ(to_string(MergeLocation{MergePath{"a", "", "b"}}), "a..b");
    EXPECT_EQ(to_string(MergeLocation{MergePath{"", "x"}}), ".x");
    EXPECT_EQ(to_string(MergeLocation{MergePath{}}), "");
}

}  // namespace
}  // namespace devctl
