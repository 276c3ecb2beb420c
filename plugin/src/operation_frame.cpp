#include "operation_frame.h"

#include <cstring>
#include <optional>

#include "backend.h"
#include "plugin_error.h"
#include "plugin_response.h"

namespace devctl_ops {

namespace {

constexpr int kInvalidParameter = -1;
constexpr int kInvalidAddonInfo = -14;
constexpr int kLowestTableCode = -17;

Failure addon_failure(const char* message)
{
    return Failure{kInvalidAddonInfo, message};
}

// Codes outside the failure table become -100; success is 0.
int clamp_failure(int result)
{
    if (result >= 0) {
        return 0;
    }
    return result >= kLowestTableCode ? result : kUnknownCode;
}

// Bounded copy into a text field of `size` bytes: at most size - 1 bytes and a
// NUL, a longer text cut without an error.
void copy_text(char* field, std::size_t size, const std::string& text)
{
    (void)strncpy_s(field, size, text.c_str(), size - 1);
}

template <class Number>
bool put_number(const std::optional<Number>& value, char* at)
{
    if (value) {
        std::memcpy(at, &*value, sizeof *value);
    }
    return value.has_value();
}

}  // namespace

GVariant* failure_reply(const Failure& failure)
{
    return encode_plugin_response_for_code(failure.code, failure.message.c_str());
}

Failure missing_key(const char* key)
{
    return Failure{kInvalidParameter, std::string("invalid parameter key:") + key};
}

Step<GLibHelper::DictView> open_params(GVariant* params)
{
    std::optional<GLibHelper::DictView> view = GLibHelper::DictView::init(params);
    if (!view) {
        return Failure{kInvalidParameter, "invalid parameter"};
    }
    return std::move(*view);
}

Step<AddonInfo> read_scene_information(GVariant* addon_info, SceneKeys keys)
{
    AddonInfo info{};
    if (!keys.scene) {
        return info;
    }
    std::optional<GLibHelper::DictView> view = GLibHelper::DictView::init(addon_info);
    if (!view) {
        return addon_failure("invalid addon info data");
    }
    std::optional<std::string> scene = view->getString("scene");
    if (!scene) {
        return addon_failure("invalid addon info key:scene");
    }
    if (keys.refuse_sm && *scene == "sm") {
        return addon_failure("not support sm scene");
    }
    copy_text(info.scene, sizeof info.scene, *scene);
    if (keys.sync) {
        std::optional<std::uint32_t> sync = view->getUint32("sync");
        if (!sync) {
            return addon_failure("invalid addon info key:sync");
        }
        info.sync = *sync;
    }
    if (keys.scene_switch) {
        info.scene_switch = view->getUint32("scene_switch").value_or(0);
    }
    return info;
}

GVariant* reply_by_rule(ReplyRule rule, int result)
{
    switch (rule) {
    case ReplyRule::Value:
        if (result >= 0) {
            return encode_plugin_response(0, "success", result);
        }
        [[fallthrough]];
    case ReplyRule::Setting:
        return encode_plugin_response_for_code(result, PluginError(result).message().c_str());
    case ReplyRule::Verdict: {
        const int code = clamp_failure(result);
        return encode_plugin_response(code, PluginError(code).message().c_str(), result);
    }
    case ReplyRule::CodeOnly:
        break;
    }
    const int code = clamp_failure(result);
    return encode_plugin_response_for_code(code, PluginError(code).message().c_str());
}

bool read_field(const GLibHelper::DictView& entry, const RecordField& field, char* record)
{
    char* at = record + field.offset;
    switch (field.type) {
    case FieldType::Int32:
        return put_number(entry.getInt32(field.key), at);
    case FieldType::Uint32:
        return put_number(entry.getUint32(field.key), at);
    case FieldType::Text:
        break;
    }
    std::optional<std::string> text = entry.getString(field.key);
    if (text) {
        copy_text(at, field.size, *text);
    }
    return text.has_value();
}

}  // namespace devctl_ops
