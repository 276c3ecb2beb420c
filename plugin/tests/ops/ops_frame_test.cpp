// What all 22 operations share: the order of the checks, the scene
// information each one reads, and the one back-end call.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ops_harness.h"
#include "ops_table.h"

namespace ops_test {
namespace {

class OperationFrame : public ::testing::TestWithParam<OperationCase> {
protected:
    void SetUp() override { host.reset(); }
    void TearDown() override { host.reset(); }

    Reply call(GVariant* params, GVariant* addon_info) const { return host.call(GetParam().name, params, addon_info); }
    GVariant* valid_params() const { return params_for(GetParam(), 1); }

    // The answer of a call that reached the back end with a result of 0.
    void expect_success(const Reply& reply) const
    {
        EXPECT_GE(reply.code, 0);
        ASSERT_EQ(host.calls().size(), 1u);
        EXPECT_EQ(host.calls()[0].function, GetParam().backend);
    }

    void expect_refused(const Reply& reply, int code, const std::string& message) const
    {
        EXPECT_EQ(reply.code, code);
        EXPECT_EQ(reply.message, message);
        EXPECT_EQ(reply.keys, (std::vector<std::string>{"code", "message"}));
        EXPECT_TRUE(host.calls().empty()) << "the back end must not be called";
    }

    const Host& host = Host::get();
};

TEST_P(OperationFrame, BothArgumentsNull)
{
    const OperationCase& op = GetParam();
    const Reply reply = call(nullptr, nullptr);
    if (reads_params(op)) {
        expect_refused(reply, -1, "invalid parameter");
    } else if (reads_scene(op)) {
        expect_refused(reply, -14, "invalid addon info data");
    } else {
        expect_success(reply);
        EXPECT_EQ(scene_bytes(host.calls()[0].info), std::string(256, '\0'));
    }
}

TEST_P(OperationFrame, ParamsAreCheckedBeforeSceneInformation)
{
    const OperationCase& op = GetParam();
    GVariant* wrong_params[] = {g_variant_new_int32(3), g_variant_new_strv(nullptr, 0), dict({})};
    for (GVariant* params : wrong_params) {
        const bool is_dict = g_variant_is_of_type(params, G_VARIANT_TYPE_VARDICT);
        const Reply reply = call(params, g_variant_new_int32(0));
        if (!reads_params(op)) {
            // Never looked at: the answer is about the scene information.
            if (reads_scene(op)) {
                expect_refused(reply, -14, "invalid addon info data");
            } else {
                expect_success(reply);
            }
        } else if (is_dict) {
            expect_refused(reply, -1, "invalid parameter key:param1");
        } else {
            expect_refused(reply, -1, "invalid parameter");
        }
        host.reset();
    }
}

TEST_P(OperationFrame, SceneInformationFailures)
{
    const OperationCase& op = GetParam();
    struct Case {
        GVariant* addon_info;
        const char* message;  // when the operation reads "scene"
        bool about_sync;      // the failure concerns "sync" only
    };
    const Case cases[] = {
        {g_variant_new_int32(1), "invalid addon info data", false},
        {g_variant_new_parsed("{'scene': 'vop_defender'}"), "invalid addon info data", false},
        {dict({}), "invalid addon info key:scene", false},
        {dict({{"scene", g_variant_new_string("")}, {"sync", g_variant_new_uint32(1)}}),
         "invalid addon info key:scene", false},
        {dict({{"scene", g_variant_new_int32(5)}, {"sync", g_variant_new_uint32(1)}}),
         "invalid addon info key:scene", false},
        {dict({{"scene", g_variant_new_variant(g_variant_new_string("vop_defender"))}, {"sync", g_variant_new_uint32(1)}}),
         "invalid addon info key:scene", false},
        {scene_info("vop_defender"), "invalid addon info key:sync", true},
        {dict({{"scene", g_variant_new_string("vop_defender")}, {"sync", g_variant_new_int32(1)}}),
         "invalid addon info key:sync", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Reply reply = call(valid_params(), c.addon_info);
        if (!reads_scene(op) || (c.about_sync && !reads_sync(op))) {
            expect_success(reply);
        } else {
            expect_refused(reply, -14, c.message);
        }
        host.reset();
    }
}

TEST_P(OperationFrame, SceneInformationReachesTheBackEnd)
{
    const OperationCase& op = GetParam();
    const std::string long_scene = std::string(200, 'a') + std::string(100, 'b');
    const Reply reply = call(valid_params(), dict({{"scene", g_variant_new_string(long_scene.c_str())},
                                                   {"sync", g_variant_new_uint32(9)},
                                                   {"scene_switch", g_variant_new_uint32(7)},
                                                   {"other", g_variant_new_string("x")}}));
    expect_success(reply);
    const auto calls = host.calls();
    const AddonInfo& info = calls.at(0).info;
    EXPECT_EQ(scene_bytes(info), reads_scene(op) ? field_bytes(long_scene.substr(0, 255), 256) : std::string(256, '\0'));
    EXPECT_EQ(info.sync, reads_sync(op) ? 9u : 0u);
    EXPECT_EQ(info.scene_switch, op.scene == Scene::SceneSyncSwitch ? 7u : 0u);
}

TEST_P(OperationFrame, SmSceneIsRefusedOnlyWhereSaid)
{
    const OperationCase& op = GetParam();
    // Without "sync": the "sm" test comes first.
    Reply reply = call(valid_params(), scene_info("sm"));
    if (op.scene == Scene::NotSmSync) {
        expect_refused(reply, -14, "not support sm scene");
    } else if (reads_sync(op)) {
        expect_refused(reply, -14, "invalid addon info key:sync");
    } else {
        expect_success(reply);
    }
    for (const char* scene : {"SM", "sm2", "sms", " sm"}) {
        host.reset();
        reply = call(valid_params(), scene_info(scene, 1));
        expect_success(reply);
        EXPECT_EQ(scene_bytes(host.calls().at(0).info), reads_scene(op) ? field_bytes(scene, 256) : std::string(256, '\0'));
    }
}

TEST_P(OperationFrame, OneCallToItsOwnBackEndFunction)
{
    const Reply reply = call(valid_params(), scene_info("vop_defender", 0));
    expect_success(reply);
    EXPECT_EQ(reply.message, GetParam().name == "read_sys_device_info" ? "sys device list is null"
                             : GetParam().kind == Kind::ListQuery   ? "devctl policy list is null"
                                                                    : "success");
}

INSTANTIATE_TEST_SUITE_P(AllOperations, OperationFrame, ::testing::ValuesIn(operations()),
                         [](const ::testing::TestParamInfo<OperationCase>& info) { return info.param.name; });

// The host's bounded copy as the plug-in relies on it.
extern "C" int strncpy_s(char* dest, std::size_t destsz, const char* src, std::size_t count);

TEST(HostStrncpy, CopiesAtMostCountBytesAndAlwaysTerminates)
{
    struct Case {
        const char* src;
        std::size_t destsz;
        std::size_t count;
        std::string expected;
    };
    const Case cases[] = {
        {"abc", 8, 7, "abc"},
        {"abcdefghij", 8, 7, "abcdefg"},
        {"abcdefghij", 8, 3, "abc"},
        {"abcdefghij", 4, 10, "abc"},
        {"", 8, 7, ""},
    };
    for (const Case& c : cases) {
        char dest[8];
        std::memset(dest, 'x', sizeof dest);
        strncpy_s(dest, c.destsz, c.src, c.count);
        EXPECT_EQ(std::string(dest), c.expected) << c.src << " " << c.destsz << " " << c.count;
    }
}

}  // namespace
}  // namespace ops_test
