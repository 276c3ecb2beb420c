#include "plugin_error.h"

#include <array>
#include <string_view>

namespace {

// Indexed by -code.
constexpr std::array<std::string_view, 18> kMessages = {
    "success",
    "invalid parameter",
    "policy already exists",
    "policy not exists",
    "permission denied",
    "not supper quel",
    "readonly filesystem",
    "open file failed",
    "IO error",
    "compile policy failed",
    "sync policy failed",
    "invalid dynamic data",
    "invalid section data",
    "compile init policy failed",
    "invalid addon info data",
    "dlopen lib failed",
    "dlsymbol failed",
    "merge policy failed",
};

constexpr std::string_view kUnknown = "unknow error";

}  // namespace

std::string PluginError::message() const
{
    constexpr int lowest = -static_cast<int>(kMessages.size() - 1);
    if (code_ < lowest || code_ > 0) {
        return std::string(kUnknown);
    }
    return std::string(kMessages[static_cast<std::size_t>(-code_)]);
}
