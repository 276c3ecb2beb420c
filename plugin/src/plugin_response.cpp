#include "plugin_response.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "glib_helper.h"

namespace {

// Every reply: "code", then "message" when given; "data" is added after.
GLibHelper::DictBuilder reply_of(int code, const char* message)
{
    GLibHelper::DictBuilder builder;
    builder.addInt32("code", code).addString("message", message);
    return builder;
}

// "data" as the entry holds it, unwrapped once more when that is a variant,
// so that replies with the value one or two levels deep both decode. The view
// reads values only by type, so this lookup goes to the reply itself, which
// the caller has already shown to be an "a{sv}".
GVariant* read_data(GVariant* reply)
{
    g_autoptr(GVariant) value = g_variant_lookup_value(reply, "data", nullptr);
    if (value != nullptr && g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT)) {
        return g_variant_get_variant(value);
    }
    return g_steal_pointer(&value);
}

}  // namespace

GVariant* encode_plugin_response(int code, const char* message, GVariant* data)
{
    return reply_of(code, message).addVariant("data", data).build();
}

GVariant* encode_plugin_response(int code, const char* message, int data)
{
    return reply_of(code, message).addInt32("data", data).build();
}

GVariant* encode_plugin_response(int code, const char* message, const char* const* texts, size_t n)
{
    // SIZE_MAX becomes -1: every text up to the null terminator.
    return reply_of(code, message).addStringArray("data", texts, static_cast<gssize>(n)).build();
}

GVariant* encode_plugin_response(int code, const char* message)
{
    return reply_of(code, message).build();
}

GVariant* encode_plugin_response_for_code(int code, const char* message)
{
    if (code == 0 && message == nullptr) {
        message = "success";
    }
    return encode_plugin_response(code, message);
}

PluginResponse* decode_plugin_response(GVariant* reply)
{
    const std::optional<GLibHelper::DictView> view = GLibHelper::DictView::init(reply);
    if (!view) {
        return nullptr;
    }
    const std::optional<std::int32_t> code = view->getInt32("code");
    if (!code) {
        return nullptr;
    }
    const std::optional<std::string> message = view->getString("message");
    g_autoptr(GVariant) data = read_data(reply);

    auto* response = static_cast<PluginResponse*>(std::malloc(sizeof(PluginResponse)));
    if (response == nullptr) {
        return nullptr;
    }
    response->code = *code;
    response->message = message ? strdup(message->c_str()) : nullptr;
    response->data = g_steal_pointer(&data);
    return response;
}

void free_plugin_response(PluginResponse* response)
{
    if (response == nullptr) {
        return;
    }
    std::free(response->message);
    g_clear_pointer(&response->data, g_variant_unref);
    std::free(response);
}
