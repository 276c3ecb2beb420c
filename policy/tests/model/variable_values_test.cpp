// Which values read as which alternative, and which fail with the single
// variable-value text.
#include <gtest/gtest.h>

#include "model/variable_json.h"
#include "policy_doc.h"

namespace devctl::test {
namespace {

// The value read from {"name": "v", "value": <json>}, or the error message.
Expected<VariableTypes, std::string> read_value(const std::string& json) {
    auto policy = deserialize_policy(doc_with_variables("{\"name\": \"v\", \"value\": " + json + "}"));
    if (!policy) return Unexpected(policy.error().message);
    return policy->modules.at(0).module.variables.at(0).value;
}

// The value written back on its own, compact enough to compare.
std::string written(const VariableTypes& value) {
    json::Writer w;
    serialize_variable_types(value, w);
    std::string out;
    for (char c : w.take())
        if (c != '\n' && c != ' ') out += c;
    return out;
}

const std::string kNoMatch(kNoVariantMatched);

struct Case {
    std::string json;
    std::string expected;  // the value written back compactly, or an error message
};

TEST(VariableValues, AlternativesAndFailures) {
    const Case cases[] = {
        // Uid
        {R"({"type": "uid", "value": [0, -1, 2147483647]})", R"({"type":"uid","value":[0,-1,2147483647]})"},
        {R"({"type": "uid", "value": [0, 2147483648]})", kNoMatch},
        {R"({"type": "uid", "value": [0, "1"]})", kNoMatch},
        {R"({"type": "uid", "value": [1.0]})", kNoMatch},
        {R"({"type": "uid", "value": []})", R"({"type":"uid","value":[]})"},
        // member order, other members, array form, index tags
        {R"({"value": ["/a"], "type": "path", "note": 1})", R"({"type":"path","value":["/a"]})"},
        {R"(["path", ["/a"]])", R"({"type":"path","value":["/a"]})"},
        {R"(["path"])", kNoMatch},
        {R"(["path", ["/a"], 1])", kNoMatch},
        {R"([])", kNoMatch},
        {R"({"type": 3, "value": ["/a"]})", R"({"type":"path","value":["/a"]})"},
        {R"([9, ["x"]])", R"({"type":"path_package","value":["x"]})"},
        {R"({"type": 10, "value": ["/a"]})", kNoMatch},
        {R"({"type": -1, "value": ["/a"]})", kNoMatch},
        {R"({"type": 3.0, "value": ["/a"]})", kNoMatch},
        {R"({"type": "Path", "value": ["/a"]})", kNoMatch},
        {R"({"type": "path"})", kNoMatch},
        {R"({"value": ["/a"]})", kNoMatch},
        {R"({"type": "path", "value": ["/a"], "value": ["/b"]})", kNoMatch},
        {R"({"type": "path", "type": "path", "value": ["/a"]})", kNoMatch},
        {R"({"type": "path", "value": "/a"})", kNoMatch},
        {R"({"type": "path", "value": ["/a", null]})", kNoMatch},
        {R"({"type": "username", "value": ["root", ""]})", R"({"type":"username","value":["root",""]})"},
        {R"({"type": "kmod", "value": ["usb_storage"]})", R"({"type":"kmod","value":["usb_storage"]})"},
        {R"({"type": "package", "value": ["p"]})", R"({"type":"package","value":["p"]})"},
        {R"({"type": "func", "value": ["f"]})", R"({"type":"func","value":["f"]})"},
        // untagged
        {R"("5")", R"("5")"},
        {R"("true")", R"("true")"},
        {R"(5)", "5"},
        {R"(-2147483648)", "-2147483648"},
        {R"(2147483648)", kNoMatch},
        {R"(1.0)", kNoMatch},
        {R"(1e2)", kNoMatch},
        {R"(-0)", kNoMatch},
        {R"(null)", kNoMatch},
        {R"(true)", "true"},
        {R"({})", kNoMatch},
        {R"([1, 2])", kNoMatch},
        // Pvid
        {R"({"type": "pvid", "value": [{"usb_type": 8, "pid": 1, "vid": 2}]})",
         R"({"type":"pvid","value":[{"usb_type":8,"pid":1,"vid":2,"serial":null,"name":null}]})"},
        {R"({"type": "pvid", "value": [{"name": "n", "vid": 4294967295, "x": [], "serial": "s", "pid": 0, "usb_type": -1}]})",
         R"({"type":"pvid","value":[{"usb_type":-1,"pid":0,"vid":4294967295,"serial":"s","name":"n"}]})"},
        {R"({"type": "pvid", "value": [{"pid": 1, "vid": 2}]})", kNoMatch},
        {R"({"type": "pvid", "value": [{"usb_type": 8, "pid": -1, "vid": 2}]})", kNoMatch},
        {R"({"type": "pvid", "value": [{"usb_type": 8, "pid": 1, "vid": 4294967296}]})", kNoMatch},
        {R"({"type": "pvid", "value": [{"usb_type": 8, "pid": 1, "vid": 2, "serial": null, "serial": "s"}]})", kNoMatch},
        {R"({"type": "pvid", "value": [{"usb_type": 8, "pid": 1, "vid": 2, "name": 3}]})", kNoMatch},
        {R"({"type": "pvid", "value": [[8, 1, 2, null, null]]})",
         R"({"type":"pvid","value":[{"usb_type":8,"pid":1,"vid":2,"serial":null,"name":null}]})"},
        {R"({"type": "pvid", "value": [[8, 1, 2]]})", kNoMatch},
        {R"({"type": "pvid", "value": [[8, 1, 2, null, null, null]]})", kNoMatch},
        // Netcard
        {R"({"type": "netcard", "value": [{"name": "eth0", "netcard_type": "netcard"}, ["wl", {"wireless_card": null}]]})",
         R"({"type":"netcard","value":[{"name":"eth0","netcard_type":"netcard"},{"name":"wl","netcard_type":"wireless_card"}]})"},
        {R"({"type": "netcard", "value": [{"name": "eth0"}]})", kNoMatch},
        {R"({"type": "netcard", "value": [{"netcard_type": "netcard"}]})", kNoMatch},
        {R"({"type": "netcard", "value": [{"name": "e", "netcard_type": "Netcard"}]})", kNoMatch},
        {R"({"type": "netcard", "value": [["e"]]})", kNoMatch},
        // DeviceClass and its element forms
        {R"({"type": "device_class", "value": {"type": "usb", "value": ["hid", "8020"]}})",
         R"({"type":"device_class","value":{"type":"usb","value":["hid","8020"]}})"},
        {R"({"type": "device_class", "value": {"type": "usb", "value": [8020]}})", kNoMatch},
        {R"({"type": "device_class", "value": {"type": "device", "value": ["cdrom", {"cdrom": null}, {"cdrom": {}}]}})",
         R"({"type":"device_class","value":{"type":"device","value":["cdrom","cdrom","cdrom"]}})"},
        {R"({"type": "device_class", "value": {"type": "device", "value": [{"cdrom": 1}]}})", kNoMatch},
        {R"({"type": "device_class", "value": {"type": "device", "value": [{}]}})", kNoMatch},
        {R"({"type": "device_class", "value": {"type": "device", "value": [{"cdrom": null, "tape": null}]}})", kNoMatch},
        {R"({"type": "device_class", "value": {"type": "device", "value": [{"cdrom": []}]}})", kNoMatch},
        {R"({"type": "device_class", "value": {"type": "interface", "value": ["mmc"]}})",
         R"({"type":"device_class","value":{"type":"interface","value":["mmc"]}})"},
        {R"({"type": "device_class", "value": {"type": "interface", "value": ["cdrom"]}})", kNoMatch},
        {R"([5, [1, ["mmc"]]])", R"({"type":"device_class","value":{"type":"device","value":["mmc"]}})"},
        {R"({"type": "device_class", "value": {"type": 3, "value": []}})", kNoMatch},
        {R"({"type": "device_class", "value": ["usb"]})", kNoMatch},
        // reader errors inside the value stay reader errors
        {R"({"type": "path", "value": ["/a",]})", "trailing comma"},
        {R"({"type": "path", "value": ["/a"], "x": 01})", "invalid number"},
    };
    for (const auto& c : cases) {
        auto value = read_value(c.json);
        EXPECT_EQ(value ? written(*value) : value.error(), c.expected) << c.json;
    }
}

TEST(VariableValues, KindsAndPayloads) {
    auto value = read_value(R"({"type": "device_class", "value": {"type": "usb", "value": ["mass_storage"]}})");
    ASSERT_TRUE(value);
    ASSERT_EQ(value->kind(), VariableKind::DeviceClass);
    const auto& device_class = std::get<kind_index<VariableKind::DeviceClass>>(value->value);
    EXPECT_EQ(device_class.kind(), DeviceClassKind::Usb);
    EXPECT_EQ(std::get<kind_index<DeviceClassKind::Usb>>(device_class.value), std::vector<UsbType>{UsbType::MassStorage});

    value = read_value(R"({"type": "kmod", "value": ["a", "a"]})");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->kind(), VariableKind::Kmod);
    EXPECT_EQ(std::get<kind_index<VariableKind::Kmod>>(value->value), (StringList{"a", "a"}));

    value = read_value("-7");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->kind(), VariableKind::Int);
    EXPECT_EQ(std::get<kind_index<VariableKind::Int>>(value->value), -7);
}

}  // namespace
}  // namespace devctl::test
