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

std::string text_of(int code) { return PluginError(code).message(); }

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

void copy_text(char* field, std::size_t size, const std::string& text)
{
    (void)strncpy_s(field, size, text.c_str(), size - 1);
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
        return encode_plugin_response_for_code(result, text_of(result).c_str());
    case ReplyRule::Setting:
        return encode_plugin_response_for_code(result, text_of(result).c_str());
    case ReplyRule::Verdict: {
        const int code = clamp_failure(result);
        return encode_plugin_response(code, text_of(code).c_str(), result);
    }
    case ReplyRule::CodeOnly:
        break;
    }
    const int code = clamp_failure(result);
    return encode_plugin_response_for_code(code, text_of(code).c_str());
}

bool ParamKind<int>::read(const GLibHelper::DictView& view, const char* key, Stored& out)
{
    std::optional<std::int32_t> value = view.getInt32(key);
    out = value.value_or(0);
    return value.has_value();
}

bool ParamKind<unsigned>::read(const GLibHelper::DictView& view, const char* key, Stored& out)
{
    std::optional<std::uint32_t> value = view.getUint32(key);
    out = value.value_or(0);
    return value.has_value();
}

bool ParamKind<const char*>::read(const GLibHelper::DictView& view, const char* key, Stored& out)
{
    std::optional<std::string> text = view.getString(key);
    if (!text) {
        return false;
    }
    copy_text(out.bytes, sizeof out.bytes, *text);
    return true;
}

}  // namespace devctl_ops
