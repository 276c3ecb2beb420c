// Declarations and device rule lines of single variables.
#include <gtest/gtest.h>

#include "policy/variable_lines.h"
#include "render_builders.h"

namespace devctl::render_test {
namespace {

struct Entries {
    std::string declarations;
    std::string rules;
    bool operator==(const Entries&) const = default;
};

void PrintTo(const Entries& e, std::ostream* os) {
    *os << "declarations: [" << e.declarations << "] rules: [" << e.rules << "]";
}

Entries written(const Variable& variable, const std::string& scene = "s") {
    PolicyWriter writer = make_policy_writer(scene);
    write_variable(writer, variable);
    return {block_text(writer.declarations), block_text(writer.rules)};
}

struct VariableCase {
    const char* what;
    Variable variable;
    Entries entries;
};

void PrintTo(const VariableCase& c, std::ostream* os) { *os << c.what; }

class WriteVariableTest : public testing::TestWithParam<VariableCase> {};

TEST_P(WriteVariableTest, AppendsTheEntries) {
    EXPECT_EQ(written(GetParam().variable), GetParam().entries) << GetParam().what;
}

using V = VariableKind;

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteVariableTest,
    testing::Values(
        VariableCase{"uids", var<V::Uid>("uids", std::vector<int32_t>{0, 1000, -1}),
                     {"intlist uids = 0, 1000, -1\n", ""}},
        VariableCase{"empty uids", var<V::Uid>("u", std::vector<int32_t>{}), {"intlist u = NULL\n", ""}},
        VariableCase{"extreme uids", var<V::Uid>("u", std::vector<int32_t>{INT32_MIN, INT32_MAX}),
                     {"intlist u = -2147483648, 2147483647\n", ""}},
        VariableCase{"empty usernames", var<V::Username>("users", StringList{}),
                     {"strlist users = NULL\n", ""}},
        VariableCase{"kmods verbatim", var<V::Kmod>("k", StringList{"a\"b", "", "x, y"}),
                     {"strlist k = \"a\"b\", \"\", \"x, y\"\n", ""}},
        VariableCase{"paths", var<V::Path>("p", StringList{"/a", "/a"}), {"strlist p = \"/a\", \"/a\"\n", ""}},
        VariableCase{"packages", var<V::Package>("p", StringList{"x"}), {"strlist p = \"x\"\n", ""}},
        VariableCase{"path packages", var<V::PathPackage>("p", StringList{"x"}), {"strlist p = \"x\"\n", ""}},
        VariableCase{"device readonly", class_var("device_readonly_list", std::vector{DeviceType::Cdrom, DeviceType::Printer}),
                     {"", "disallow * * * cdrom {write} if ($devctl)\ndisallow * * * printer {write} if ($devctl)\n"}},
        VariableCase{"interface enable", class_var("interface_enable_list", std::vector{InterfaceType::Mmc}),
                     {"", "allow * * * mmc {use, write} if ($devctl)\n"}},
        VariableCase{"enable wins over disable", class_var("a_disable_b_enable_", std::vector{DeviceType::Mmc}),
                     {"", "allow * * * mmc {use, write} if ($devctl)\n"}},
        VariableCase{"disable wins over readonly", class_var("x_readonly_disable_", std::vector{InterfaceType::Hdmi}),
                     {"", "disallow * * * hdmi {use, write} if ($devctl)\n"}},
        VariableCase{"keyword needs both underscores", class_var("device_enablelist", std::vector{DeviceType::Tape}),
                     {"", ""}},
        VariableCase{"case-sensitive keyword", class_var("x_Enable_", std::vector{DeviceType::Tape, DeviceType::Tape, DeviceType::Tape}),
                     {"", "\n\n\n"}},
        VariableCase{"empty device list", class_var("device_enable_list", std::vector<DeviceType>{}), {"", ""}},
        VariableCase{"usb disable takes usb out", class_var("usb_disable_list", std::vector{UsbType::Usb, UsbType::MassStorage}),
                     {"strlist usb_disable_list = \"mass_storage\"\n", "disallow * * * usb {use, write} if ($devctl)\n"}},
        VariableCase{"usb only item, twice", class_var("_disable_", std::vector{UsbType::Usb, UsbType::Usb}),
                     {"strlist _disable_ = NULL\n", "disallow * * * usb {use, write} if ($devctl)\n"}},
        VariableCase{"usb enable keeps usb and writes no rule", class_var("usb_enable_list", std::vector{UsbType::Usb, UsbType::MassStorage}),
                     {"strlist usb_enable_list = \"usb\", \"mass_storage\"\n", ""}},
        VariableCase{"usb readonly gives no rule", class_var("usb_readonly_list", std::vector{UsbType::Usb8020}),
                     {"strlist usb_readonly_list = \"8020\"\n", ""}},
        VariableCase{"pvid", var<V::Pvid>("pvid_enable_list", std::vector<Pvid>{Pvid{}}), {"", ""}},
        VariableCase{"netcard", var<V::Netcard>("n", std::vector<Netcard>{Netcard{}}), {"", ""}},
        VariableCase{"func", func_var("f", {"a"}), {"", ""}},
        VariableCase{"string", string_var("s", "v"), {"", ""}},
        VariableCase{"int", var<V::Int>("i", int32_t{3}), {"", ""}},
        VariableCase{"bool", var<V::Bool>("b", true), {"", ""}}),
    [](const testing::TestParamInfo<VariableCase>& info) { return std::to_string(info.index); });

TEST(WriteVariable, DefenderSceneSkipsEveryDeviceClassButDeclaresLists) {
    for (const Variable& v : {class_var("device_enable_list", std::vector{DeviceType::Tape}),
                              class_var("interface_disable_list", std::vector{InterfaceType::Dp}),
                              class_var("usb_disable_list", std::vector{UsbType::Usb})}) {
        EXPECT_EQ(written(v, "vop_defender"), Entries{}) << v.name;
    }
    EXPECT_EQ(written(var<V::Uid>("u", std::vector<int32_t>{1}), "vop_defender").declarations,
              "intlist u = 1\n");
    EXPECT_EQ(written(var<V::Username>("u", StringList{"a"}), "vop_defender").declarations,
              "strlist u = \"a\"\n");
}

TEST(WriteVariable, UnnamedRuleFormLeavesOneEmptyLinePerItemInTheText) {
    Policy p = policy("s");
    module_map_insert(p.modules, "m",
                      module("t", {class_var("list", std::vector{DeviceType::Tape, DeviceType::Modem})}));
    EXPECT_NE(policy_rule_text(p).find("module_name = s\n\n\n\n%ENDSEC"), std::string::npos);
}

}  // namespace
}  // namespace devctl::render_test
