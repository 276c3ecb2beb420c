#include "json/describe.h"

#include <charconv>
#include <cstdlib>

#include "text/escaped_text.h"

namespace devctl::json {
namespace {

// Shortest form that reads back as the same float: 1.0, 1.5, 1e20, 1.5e-7, -0.0.
std::string format_float(double value) {
    char buf[64];
    // Scientific gives the shortest round-trip digits: d[.ddd]e[+-]xx.
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    std::string_view sci(buf, static_cast<size_t>(res.ptr - buf));
    std::string out;
    if (sci.front() == '-') {
        out += '-';
        sci.remove_prefix(1);
    }
    size_t e = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, e))
        if (c != '.') digits += c;
    int exp10 = std::atoi(std::string(sci.substr(e + 1)).c_str());
    if (digits == "0") return out + "0.0";
    // value = 0.digits * 10^point
    int point = exp10 + 1;
    int length = static_cast<int>(digits.size());
    if (exp10 >= -5 && exp10 <= 15) {
        if (point >= length) {
            out += digits;
            out.append(static_cast<size_t>(point - length), '0');
            out += ".0";
        } else if (point > 0) {
            out.append(digits, 0, static_cast<size_t>(point));
            out += '.';
            out.append(digits, static_cast<size_t>(point));
        } else {
            out += "0.";
            out.append(static_cast<size_t>(-point), '0');
            out += digits;
        }
        return out;
    }
    out += digits[0];
    if (length > 1) {
        out += '.';
        out.append(digits, 1);
    }
    out += 'e';
    out += std::to_string(exp10);
    return out;
}

}  // namespace

std::string describe_number(const Number& number) {
    switch (number.kind) {
        case Number::Kind::Unsigned: return "integer `" + std::to_string(number.u) + "`";
        case Number::Kind::Negative: return "integer `" + std::to_string(number.i) + "`";
        case Number::Kind::Float: break;
    }
    return "floating point `" + format_float(number.f) + "`";
}

std::string describe_string(std::string_view text) { return "string " + escaped_text(text); }

std::string invalid_type(std::string_view what, std::string_view expected) {
    return "invalid type: " + std::string(what) + ", expected " + std::string(expected);
}

std::string invalid_value(std::string_view what, std::string_view expected) {
    return "invalid value: " + std::string(what) + ", expected " + std::string(expected);
}

}  // namespace devctl::json
