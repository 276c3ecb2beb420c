#pragma once
// Descriptions of values in "invalid type" / "invalid value" messages.
#include <cstdint>
#include <string>
#include <string_view>

#include "json/reader.h"

namespace devctl::json {

std::string describe_number(const Number& number);  // "integer `5`" or "floating point `1.5`"
std::string describe_string(std::string_view text);  // string "a\"b"

std::string invalid_type(std::string_view what, std::string_view expected);
std::string invalid_value(std::string_view what, std::string_view expected);

}  // namespace devctl::json
