#pragma once
// Strict UTF-8 validation (no overlong forms, no surrogates, nothing above
// U+10FFFF).
#include <string_view>

namespace devctl::json {

bool valid_utf8(std::string_view text);

}  // namespace devctl::json
