// Operations with scalar parameters: their reply rules, the order in which
// parameters are read, and what reaches the back end.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ops_harness.h"
#include "ops_table.h"

namespace ops_test {
namespace {

const std::vector<std::string> kCodeAndMessage = {"code", "message"};
const std::vector<std::string> kWithData = {"code", "message", "data"};

class ScalarOperations : public ::testing::Test {
protected:
    void SetUp() override { host.reset(); }
    void TearDown() override { host.reset(); }
    const Host& host = Host::get();
};

TEST_F(ScalarOperations, ReplyRules)
{
    struct Case {
        const char* op;
        int result;
        int code;
        const char* message;
        std::optional<int> data;
    };
    const Case cases[] = {
        // value
        {"get_status", 3, 0, "success", 3},
        {"get_status", 0, 0, "success", 0},
        {"get_status", -4, -4, "permission denied", std::nullopt},
        {"get_status", -50, -50, "unknow error", std::nullopt},
        {"get_status_from_conf", -17, -17, "merge policy failed", std::nullopt},
        {"get_usb_group_perm", 2, 0, "success", 2},
        {"get_alarm_status", -100, -100, "unknow error", std::nullopt},
        // setting
        {"set_status", 0, 0, "success", std::nullopt},
        {"set_status", -10, -10, "sync policy failed", std::nullopt},
        {"set_status", 5, 5, "unknow error", std::nullopt},
        {"set_status", -20, -20, "unknow error", std::nullopt},
        {"set_usb_group_perm", -1, -1, "invalid parameter", std::nullopt},
        {"set_alarm_status", 1, 1, "unknow error", std::nullopt},
        // verdict
        {"is_type_disabled", 1, 0, "success", 1},
        {"is_type_disabled", -3, -3, "policy not exists", -3},
        {"is_type_disabled", -30, -100, "unknow error", -30},
        {"is_pvid_disabled", 0, 0, "success", 0},
        {"is_pvid_disabled", -17, -17, "merge policy failed", -17},
        {"is_netcard_disabled", -18, -100, "unknow error", -18},
        {"get_pvid_perm", 2147483647, 0, "success", 2147483647},
        {"get_pvid_perm", -2147483647 - 1, -100, "unknow error", -2147483647 - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.op) + " " + std::to_string(c.result));
        host.reset();
        host.set_result(c.result);
        const OperationCase& op = operation_case(c.op);
        const Reply reply = host.call(c.op, params_for(op, 1), scene_info("vop_defender", 1));
        EXPECT_EQ(reply.code, c.code);
        EXPECT_EQ(reply.message, c.message);
        EXPECT_EQ(reply.keys, c.data ? kWithData : kCodeAndMessage);
        if (c.data) {
            ASSERT_TRUE(g_variant_is_of_type(reply.data.get(), G_VARIANT_TYPE_INT32));
            EXPECT_EQ(g_variant_get_int32(reply.data.get()), *c.data);
        }
    }
}

TEST_F(ScalarOperations, ParametersAreReadInKeyOrder)
{
    struct Case {
        const char* op;
        GVariant* params;
        const char* message;
    };
    auto pvid = [](GVariant* p1, GVariant* p2, GVariant* p3, GVariant* p4) {
        GVariantBuilder b;
        g_variant_builder_init(&b, G_VARIANT_TYPE_VARDICT);
        const char* keys[] = {"param1", "param2", "param3", "param4"};
        GVariant* values[] = {p1, p2, p3, p4};
        for (int i = 0; i < 4; ++i) {
            if (values[i] != nullptr) {
                g_variant_builder_add(&b, "{sv}", keys[i], values[i]);
            }
        }
        return g_variant_builder_end(&b);
    };
    const Case cases[] = {
        {"is_pvid_disabled", pvid(nullptr, nullptr, nullptr, nullptr), "invalid parameter key:param1"},
        {"is_pvid_disabled", pvid(g_variant_new_uint32(1), g_variant_new_uint32(2), g_variant_new_uint32(3),
                                  g_variant_new_string("s")),
         "invalid parameter key:param1"},
        {"is_pvid_disabled", pvid(g_variant_new_int32(1), g_variant_new_int32(2), nullptr, nullptr),
         "invalid parameter key:param2"},
        {"get_pvid_perm", pvid(g_variant_new_int32(1), g_variant_new_int32(2), g_variant_new_uint32(3),
                               g_variant_new_string("s")),
         "invalid parameter key:param2"},
        {"get_pvid_perm", pvid(g_variant_new_int32(1), g_variant_new_uint32(2), nullptr, g_variant_new_string("s")),
         "invalid parameter key:param3"},
        {"is_pvid_disabled", pvid(g_variant_new_int32(1), g_variant_new_uint32(2), g_variant_new_uint32(3),
                                  g_variant_new_string("")),
         "invalid parameter key:param4"},
        {"get_pvid_perm", pvid(g_variant_new_int32(1), g_variant_new_uint32(2), g_variant_new_uint32(3),
                               g_variant_new_int32(4)),
         "invalid parameter key:param4"},
        {"is_netcard_disabled", dict({{"param1", g_variant_new_int32(1)}}), "invalid parameter key:param2"},
        {"is_netcard_disabled", dict({{"param2", g_variant_new_string("eth0")}}), "invalid parameter key:param1"},
        {"is_type_disabled", dict({{"param1", g_variant_new_int32(1)}, {"param2", g_variant_new_uint32(1)}}),
         "invalid parameter key:param2"},
        {"set_status", dict({{"param1", g_variant_new_string("1")}}), "invalid parameter key:param1"},
        {"set_usb_group_perm", dict({{"param2", g_variant_new_int32(1)}}), "invalid parameter key:param1"},
        {"set_alarm_status", g_variant_new_parsed("@as ['1']"), "invalid parameter"},
        {"set_usb_group_perm", g_variant_new_parsed("@as []"), "invalid parameter"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.op) + ": " + c.message);
        host.reset();
        // Null scene information: the parameters are answered first.
        const Reply reply = host.call(c.op, c.params, nullptr);
        EXPECT_EQ(reply.code, -1);
        EXPECT_EQ(reply.message, c.message);
        EXPECT_EQ(reply.keys, kCodeAndMessage);
        EXPECT_TRUE(host.calls().empty());
    }
}

TEST_F(ScalarOperations, ParametersReachTheBackEndUnchanged)
{
    const std::string long_serial = std::string(255, 's') + std::string(45, 't');
    struct Case {
        const char* op;
        GVariant* params;
        std::vector<long long> numbers;
        std::string text;  // the whole 256-byte buffer, or empty when none
    };
    const Case cases[] = {
        {"set_status", dict({{"param1", g_variant_new_int32(-3)}}), {-3}, ""},
        {"set_usb_group_perm", dict({{"param1", g_variant_new_int32(2)}, {"param9", g_variant_new_int32(9)}}), {2}, ""},
        {"set_alarm_status", dict({{"param1", g_variant_new_int32(-2147483647 - 1)}}), {-2147483647 - 1}, ""},
        {"is_type_disabled", dict({{"param2", g_variant_new_int32(2)}, {"param1", g_variant_new_int32(-1)}}),
         {-1, 2},
         ""},
        {"is_pvid_disabled",
         dict({{"param1", g_variant_new_int32(-5)},
               {"param2", g_variant_new_uint32(0xffffffffu)},
               {"param3", g_variant_new_uint32(7)},
               {"param4", g_variant_new_string("1234-abcd")}}),
         {-5, 0xffffffffLL, 7},
         field_bytes("1234-abcd", 256)},
        {"get_pvid_perm",
         dict({{"param1", g_variant_new_int32(1)},
               {"param2", g_variant_new_uint32(2)},
               {"param3", g_variant_new_uint32(3)},
               {"param4", g_variant_new_string(long_serial.c_str())}}),
         {1, 2, 3},
         field_bytes(std::string(255, 's'), 256)},
        {"is_netcard_disabled",
         dict({{"param1", g_variant_new_int32(4)}, {"param2", g_variant_new_string("enp0s31f6")}}),
         {4},
         field_bytes("enp0s31f6", 256)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        host.reset();
        const Reply reply = host.call(c.op, c.params, scene_info("vop_defender", 1));
        EXPECT_EQ(reply.code, 0);
        const auto calls = host.calls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(std::vector<long long>(calls[0].numbers, calls[0].numbers + calls[0].number_count), c.numbers);
        EXPECT_EQ(calls[0].text, c.text);
    }
}

TEST_F(ScalarOperations, SceneSwitchIsReadBySetStatusOnly)
{
    struct Case {
        GVariant* scene_switch;
        unsigned expected;
    };
    const Case cases[] = {{nullptr, 0}, {g_variant_new_uint32(7), 7}, {g_variant_new_int32(7), 0}};
    for (const Case& c : cases) {
        host.reset();
        GVariant* addon_info =
            c.scene_switch == nullptr
                ? scene_info("vop_defender", 1)
                : dict({{"scene", g_variant_new_string("vop_defender")}, {"sync", g_variant_new_uint32(1)},
                        {"scene_switch", c.scene_switch}});
        const Reply reply = host.call("set_status", dict({{"param1", g_variant_new_int32(1)}}), addon_info);
        EXPECT_EQ(reply.code, 0);
        ASSERT_EQ(host.calls().size(), 1u);
        EXPECT_EQ(host.calls()[0].info.scene_switch, c.expected);
        EXPECT_EQ(host.calls()[0].info.sync, 1u);
    }
}

}  // namespace
}  // namespace ops_test
