#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "plugin_response.h"
#include "variant_support.h"

G_DEFINE_AUTOPTR_CLEANUP_FUNC(PluginResponse, free_plugin_response)

namespace {

PluginResponse* decode(const char* text)
{
    g_autoptr(GVariant) reply = parse(text);
    EXPECT_TRUE(reply) << text;
    return decode_plugin_response(reply);
}

const char* const kTexts[] = {"a", "b", nullptr};

}  // namespace

TEST(PluginResponse, EncodersPutCodeMessageDataInOrder)
{
    struct Case {
        const char* name;
        std::function<GVariant*()> encode;
        const char* expected;
    };
    const Case cases[] = {
        {"variant", [] { return encode_plugin_response(0, "m", g_variant_new_string("d")); },
         "{'code': <0>, 'message': <'m'>, 'data': <'d'>}"},
        {"null variant", [] { return encode_plugin_response(0, "m", static_cast<GVariant*>(nullptr)); },
         "{'code': <0>, 'message': <'m'>}"},
        {"int", [] { return encode_plugin_response(-3, "m", -5); },
         "{'code': <-3>, 'message': <'m'>, 'data': <-5>}"},
        {"int without message", [] { return encode_plugin_response(0, nullptr, 0); },
         "{'code': <0>, 'data': <0>}"},
        {"texts counted", [] { return encode_plugin_response(0, "", kTexts, 1); },
         "{'code': <0>, 'message': <''>, 'data': <['a']>}"},
        {"texts terminated", [] { return encode_plugin_response(0, "m", kTexts, SIZE_MAX); },
         "{'code': <0>, 'message': <'m'>, 'data': <['a', 'b']>}"},
        {"no texts", [] { return encode_plugin_response(0, "m", nullptr, 0); },
         "{'code': <0>, 'message': <'m'>, 'data': <@as []>}"},
        {"code and message", [] { return encode_plugin_response(-100, "unknow error"); },
         "{'code': <-100>, 'message': <'unknow error'>}"},
        {"code only", [] { return encode_plugin_response(7, nullptr); }, "{'code': <7>}"},
        {"success filled in", [] { return encode_plugin_response_for_code(0, nullptr); },
         "{'code': <0>, 'message': <'success'>}"},
        {"message kept", [] { return encode_plugin_response_for_code(0, "done"); },
         "{'code': <0>, 'message': <'done'>}"},
        {"empty message kept", [] { return encode_plugin_response_for_code(0, ""); },
         "{'code': <0>, 'message': <''>}"},
        {"failure without message", [] { return encode_plugin_response_for_code(-3, nullptr); },
         "{'code': <-3>}"},
        {"positive without message", [] { return encode_plugin_response_for_code(5, nullptr); },
         "{'code': <5>}"},
    };
    for (const Case& c : cases) {
        g_autoptr(GVariant) reply = c.encode();
        EXPECT_TRUE(g_variant_is_floating(reply)) << c.name;
        g_variant_ref_sink(reply);
        EXPECT_EQ(printed(reply), c.expected) << c.name;
    }
}

TEST(PluginResponse, NonFloatingDataStaysTheCallers)
{
    g_autoptr(GVariant) data = g_variant_ref_sink(g_variant_new_uint32(9));
    g_autoptr(GVariant) reply = g_variant_ref_sink(encode_plugin_response(0, "m", data));
    g_clear_pointer(&data, g_variant_unref);
    EXPECT_EQ(printed(reply), "{'code': <0>, 'message': <'m'>, 'data': <uint32 9>}");
}

// Each result is freed unchecked, as a caller may: freeing a rejection must
// be harmless, and the leak checker sees anything a rejection allocated.
TEST(PluginResponse, DecodeRejectsWithoutInt32Code)
{
    PluginResponse* response = decode_plugin_response(nullptr);
    EXPECT_EQ(response, nullptr);
    free_plugin_response(response);
    for (const char* text : {"int32 0", "@a{ss} {'code': '0'}", "@a{sv} {}",
                             "{'code': <uint32 0>, 'message': <'m'>}", "{'code': <'0'>}",
                             "{'code': <int64 0>}", "{'code': <<0>>}", "{'Code': <0>}"}) {
        response = decode(text);
        EXPECT_EQ(response, nullptr) << text;
        free_plugin_response(response);
    }
}

TEST(PluginResponse, DecodeMessage)
{
    struct Case {
        const char* reply;
        const char* message;
    };
    const Case cases[] = {
        {"{'code': <-4>, 'message': <'permission denied'>}", "permission denied"},
        {"{'code': <0>, 'message': <''>}", nullptr},
        {"{'code': <0>}", nullptr},
        {"{'code': <0>, 'message': <['m']>}", nullptr},
        {"{'code': <0>, 'message': <<'m'>>}", nullptr},
    };
    for (const Case& c : cases) {
        g_autoptr(PluginResponse) response = decode(c.reply);
        ASSERT_NE(response, nullptr) << c.reply;
        if (c.message == nullptr) {
            EXPECT_EQ(response->message, nullptr) << c.reply;
        } else {
            EXPECT_STREQ(response->message, c.message) << c.reply;
        }
    }
}

TEST(PluginResponse, DecodeDataOneOrTwoLevelsDeep)
{
    struct Case {
        const char* reply;
        const char* data;  // printed form, or null when absent
    };
    const Case cases[] = {
        {"{'code': <0>, 'data': <3>}", "3"},
        {"{'code': <0>, 'data': <<3>>}", "3"},
        {"{'code': <0>, 'data': <['a']>}", "['a']"},
        {"{'code': <0>, 'data': <<['a']>>}", "['a']"},
        {"{'code': <0>, 'data': <<<'s'>>>}", "<'s'>"},
        {"{'code': <0>, 'data': <[{'k': <1>}]>}", "[{'k': <1>}]"},
        {"{'code': <0>, 'message': <'m'>}", nullptr},
    };
    for (const Case& c : cases) {
        g_autoptr(PluginResponse) response = decode(c.reply);
        ASSERT_NE(response, nullptr) << c.reply;
        EXPECT_EQ(response->code, 0);
        if (c.data == nullptr) {
            EXPECT_EQ(response->data, nullptr) << c.reply;
        } else {
            ASSERT_NE(response->data, nullptr) << c.reply;
            EXPECT_EQ(printed(response->data), c.data) << c.reply;
        }
    }
}

TEST(PluginResponse, DecodedRecordOutlivesTheReply)
{
    g_autoptr(GVariant) reply =
        g_variant_ref_sink(encode_plugin_response(-9, "compile policy failed", kTexts, SIZE_MAX));
    g_autoptr(PluginResponse) response = decode_plugin_response(reply);
    g_clear_pointer(&reply, g_variant_unref);
    ASSERT_NE(response, nullptr);
    EXPECT_EQ(response->code, -9);
    EXPECT_STREQ(response->message, "compile policy failed");
    ASSERT_NE(response->data, nullptr);
    EXPECT_EQ(printed(response->data), "['a', 'b']");
}

TEST(PluginResponse, DecodeLeavesAFloatingReplyWithTheCaller)
{
    g_autoptr(GVariant) reply = encode_plugin_response(0, "m", g_variant_new_int32(4));
    g_autoptr(PluginResponse) response = decode_plugin_response(reply);
    EXPECT_TRUE(g_variant_is_floating(reply));
    g_variant_ref_sink(reply);
    ASSERT_NE(response, nullptr);
    EXPECT_EQ(printed(response->data), "4");
}
