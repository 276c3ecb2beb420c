#pragma once
// The kernel security module's status: 0 means compile only, anything else deploy.
#include <cstdint>
#include <string_view>

namespace devctl {

inline constexpr const char* kModuleStatusPath = "/sys/kernel/security/quel/status";

// The whole text as a signed 32-bit decimal: an optional single sign, then
// digits and nothing else (no blanks, no newline). 0 when it is not one.
int32_t parse_module_status(std::string_view text);

// The status file's value; 0 when it is missing, unreadable or not a number.
int32_t read_module_status();

}  // namespace devctl
