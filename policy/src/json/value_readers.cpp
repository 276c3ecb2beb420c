#include "json/value_readers.h"

#include "json/describe.h"

namespace devctl::json {

bool read_string(Reader& reader, std::string& out) {
    int c = reader.peek();
    if (c != '"') return c < 0 ? reader.fail_eof_value() : reader.fail_invalid_type("a string");
    std::string_view text;
    if (!reader.parse_string(text)) return false;
    out.assign(text);
    return true;
}

bool read_bool(Reader& reader, bool& out) {
    int c = reader.peek();
    if (c == 't' || c == 'f') {
        reader.bump();
        out = c == 't';
        return reader.parse_literal(out ? "rue" : "alse");
    }
    return c < 0 ? reader.fail_eof_value() : reader.fail_invalid_type("a boolean");
}

namespace {

// An integer in [min, max]; expected names the type.
bool read_integer(Reader& reader, int64_t min, int64_t max, std::string_view expected,
                  int64_t& out) {
    int c = reader.peek();
    if (c != '-' && !(c >= '0' && c <= '9'))
        return c < 0 ? reader.fail_eof_value() : reader.fail_invalid_type(expected);
    Number number;
    if (!reader.parse_number(number)) return false;
    switch (number.kind) {
        case Number::Kind::Unsigned:
            if (number.u > static_cast<uint64_t>(max)) break;
            out = static_cast<int64_t>(number.u);
            return true;
        case Number::Kind::Negative:
            if (number.i < min) break;
            out = number.i;
            return true;
        case Number::Kind::Float:
            return reader.fail(invalid_type(describe_number(number), expected),
                               JsonErrorCategory::Data);
    }
    return reader.fail(invalid_value(describe_number(number), expected), JsonErrorCategory::Data);
}

}  // namespace

bool read_i32(Reader& reader, int32_t& out) {
    int64_t value = 0;
    if (!read_integer(reader, INT32_MIN, INT32_MAX, "i32", value)) return false;
    out = static_cast<int32_t>(value);
    return true;
}

bool read_u32(Reader& reader, uint32_t& out) {
    int64_t value = 0;
    if (!read_integer(reader, 0, UINT32_MAX, "u32", value)) return false;
    out = static_cast<uint32_t>(value);
    return true;
}

bool read_null(Reader& reader, bool& was_null) {
    int c = reader.peek();
    if (c < 0) return reader.fail_eof_value();
    was_null = c == 'n';
    if (!was_null) return true;
    reader.bump();
    return reader.parse_literal("ull");
}

}  // namespace devctl::json
