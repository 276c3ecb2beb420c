#pragma once
// Turning the digits of a JSON number into a double.
#include <cstdint>

namespace devctl::json {

// significand * 10^exponent, rounded step by step: the significand is
// converted first, then multiplied or divided by one power of ten (by
// 1e308 repeatedly for exponents beyond the table). This fixes which
// literals count as too large and the value shown for long or extreme
// ones. False when the result is infinite.
bool float_from_parts(uint64_t significand, int32_t exponent, double& out);

}  // namespace devctl::json
