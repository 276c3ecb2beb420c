#include "plugin_error.h"

#include <array>

namespace {

// Indexed by -code.
constexpr std::array<const char*, 18> kMessages = {
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

}  // namespace

const char* plugin_error_message(int code)
{
    constexpr int lowest = -static_cast<int>(kMessages.size() - 1);
    if (code < lowest || code > 0) {
        return "unknow error";
    }
    return kMessages[static_cast<std::size_t>(-code)];
}
