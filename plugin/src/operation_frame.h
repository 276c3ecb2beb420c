#pragma once
// What every operation shares: its parameters are read, then the caller's
// scene information into an AddonInfo, then the back end is called once and
// its result turned into one reply. The first failure ends the operation with
// an error reply and the back end is not called.
#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "devctl_records.h"
#include "glib_helper.h"
#include "record_fields.h"

namespace devctl_ops {

// An error reply: code and message, nothing else.
struct Failure {
    int code;
    std::string message;
};

// The code of every failure outside the table of -1 to -17, an allocation
// that failed included.
inline constexpr int kUnknownCode = -100;

// A value or the failure that ends the operation. (std::expected is not
// available to every compiler the plug-in is built with.)
template <class T>
class [[nodiscard]] Step {
public:
    Step(T value) : value_(std::move(value)) {}
    Step(Failure failure) : failure_(std::move(failure)) {}

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const Failure& error() const { return failure_; }

private:
    std::optional<T> value_;
    Failure failure_;
};

GVariant* failure_reply(const Failure& failure);

// -1 "invalid parameter key:" and the key.
Failure missing_key(const char* key);

// Opens params as a dictionary; -1 "invalid parameter" when it is none.
Step<GLibHelper::DictView> open_params(GVariant* params);

// Which keys of the scene information an operation reads.
struct SceneKeys {
    bool scene;         // "scene" is required
    bool refuse_sm;     // the scene "sm" is refused
    bool sync;          // "sync" is required
    bool scene_switch;  // "scene_switch" is read when present
};

inline constexpr SceneKeys kNoSceneKeys{false, false, false, false};
inline constexpr SceneKeys kSceneOnly{true, false, false, false};
inline constexpr SceneKeys kSceneAndSync{true, false, true, false};
inline constexpr SceneKeys kSceneSyncAndSwitch{true, false, true, true};
inline constexpr SceneKeys kNotSmSceneAndSync{true, true, true, false};

// An all-zero AddonInfo filled with the keys that `keys` names, in the order
// "scene", the "sm" test, "sync", "scene_switch".
Step<AddonInfo> read_scene_information(GVariant* addon_info, SceneKeys keys);

// How an int result of the back end becomes a reply.
enum class ReplyRule {
    Value,    // r >= 0 is sent as data with code 0; r < 0 as the code
    Setting,  // r itself is the code
    Verdict,  // code 0 or the clamped r, and r as data either way
    CodeOnly, // code 0 or the clamped r, no data
};

GVariant* reply_by_rule(ReplyRule rule, int result);

// The frame: params are read first (by read_params, which gets the params
// argument), then the scene information, then call(params, info) calls the
// back end and builds the reply.
template <class ReadParams, class Call>
GVariant* run_operation(GVariant* params, GVariant* addon_info, SceneKeys keys, ReadParams&& read_params,
                        Call&& call)
{
    auto read = std::forward<ReadParams>(read_params)(params);
    if (!read) {
        return failure_reply(read.error());
    }
    Step<AddonInfo> info = read_scene_information(addon_info, keys);
    if (!info) {
        return failure_reply(info.error());
    }
    return std::forward<Call>(call)(*read, *info);
}

// Reads the field's key of one entry into its place in record; false when
// the key is missing or holds another type. A text longer than its field is
// cut to size - 1 bytes and a NUL without an error.
bool read_field(const GLibHelper::DictView& entry, const RecordField& field, char* record);

// A text parameter as the back end receives it: zero-filled, at most 255
// bytes and a NUL.
struct TextParam {
    char bytes[256];

    operator const char*() const { return bytes; }
};

// How a back-end argument type is held once read from params, and the field
// type it is read as.
template <class Arg>
struct ParamKind;

template <>
struct ParamKind<int> {
    using Stored = int;
    static constexpr FieldType type = FieldType::Int32;
};

template <>
struct ParamKind<unsigned> {
    using Stored = unsigned;
    static constexpr FieldType type = FieldType::Uint32;
};

template <>
struct ParamKind<const char*> {
    using Stored = TextParam;
    static constexpr FieldType type = FieldType::Text;
};

// One parameter, read as a field that spans the whole stored value.
template <class Arg>
bool read_param(const GLibHelper::DictView& view, const char* key, typename ParamKind<Arg>::Stored& out)
{
    return read_field(view, {key, ParamKind<Arg>::type, 0, sizeof out}, reinterpret_cast<char*>(&out));
}

inline constexpr const char* kParamKeys[] = {"param1", "param2", "param3", "param4"};

// Reads "param1" onwards, one per argument type, stopping at the first that
// is missing. Without arguments params is not looked at.
template <class... Args>
struct PositionalParams {
    using Values = std::tuple<typename ParamKind<Args>::Stored...>;

    static Step<Values> read(GVariant* params)
    {
        static_assert(sizeof...(Args) <= std::size(kParamKeys));
        Values values{};
        if constexpr (sizeof...(Args) > 0) {
            Step<GLibHelper::DictView> view = open_params(params);
            if (!view) {
                return view.error();
            }
            // Left to right, stopping at the first missing key.
            std::size_t tried = 0;
            const bool complete = std::apply(
                [&](auto&... value) { return (read_param<Args>(*view, kParamKeys[tried++], value) && ...); }, values);
            if (!complete) {
                return missing_key(kParamKeys[tried - 1]);
            }
        } else {
            (void)params;
        }
        return values;
    }
};

// Calls backend with the values that PositionalParams read, texts passed as
// their bytes, then the trailing arguments.
template <class Backend, class Values, class... Trailing>
auto call_backend(Backend backend, const Values& values, Trailing&&... trailing)
{
    return std::apply([&](const auto&... value) { return backend(value..., trailing...); }, values);
}

}  // namespace devctl_ops
