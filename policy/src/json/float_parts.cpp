#include "json/float_parts.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace devctl::json {
namespace {

// 1e0 .. 1e308, each the double nearest to its power of ten.
const std::array<double, 309>& powers_of_ten() {
    static const std::array<double, 309> table = [] {
        std::array<double, 309> powers{};
        for (size_t k = 0; k < powers.size(); ++k) {
            std::string literal = "1e" + std::to_string(k);
            std::from_chars(literal.data(), literal.data() + literal.size(), powers[k]);
        }
        return powers;
    }();
    return table;
}

}  // namespace

bool float_from_parts(uint64_t significand, int32_t exponent, double& out) {
    const auto& powers = powers_of_ten();
    double value = static_cast<double>(significand);
    for (;;) {
        uint32_t magnitude = exponent < 0 ? 0u - static_cast<uint32_t>(exponent)
                                          : static_cast<uint32_t>(exponent);
        if (magnitude < powers.size()) {
            if (exponent >= 0) {
                value *= powers[magnitude];
                if (std::isinf(value)) return false;
            } else {
                value /= powers[magnitude];
            }
            break;
        }
        if (value == 0.0) break;
        if (exponent >= 0) return false;
        value /= 1e308;
        exponent += 308;
    }
    out = value;
    return true;
}

}  // namespace devctl::json
