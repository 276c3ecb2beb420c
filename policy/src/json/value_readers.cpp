#include "json/value_readers.h"

#include <limits>

#include "json/describe.h"

namespace devctl::json {

bool read_string(Reader& reader, std::string& out) {
    int c = reader.peek();
    if (c != '"') return reader.fail_invalid_type("a string");
    std::string_view text;
    if (!reader.parse_string(text)) return false;
    out.assign(text);
    return true;
}

bool read_bool(Reader& reader, bool& out) {
    int c = reader.peek();
    if (c == 't' || c == 'f') {
        out = c == 't';
        return reader.parse_literal(c);
    }
    return reader.fail_invalid_type("a boolean");
}

namespace {

// An integer of type T; expected names the type.
template <class T>
bool read_integer(Reader& reader, std::string_view expected, T& out) {
    int c = reader.peek();
    if (c != '-' && !(c >= '0' && c <= '9')) return reader.fail_invalid_type(expected);
    Number number;
    if (!reader.parse_number(number)) return false;
    switch (number.kind) {
        case Number::Kind::Unsigned:
            if (number.u > static_cast<uint64_t>(std::numeric_limits<T>::max())) break;
            out = static_cast<T>(number.u);
            return true;
        case Number::Kind::Negative:
            if (number.i < std::numeric_limits<T>::min()) break;
            out = static_cast<T>(number.i);
            return true;
        case Number::Kind::Float:
            return reader.fail(invalid_type(describe_number(number), expected),
                               JsonErrorCategory::Data);
    }
    return reader.fail(invalid_value(describe_number(number), expected), JsonErrorCategory::Data);
}

}  // namespace

bool read_i32(Reader& reader, int32_t& out) { return read_integer(reader, "i32", out); }

bool read_u32(Reader& reader, uint32_t& out) { return read_integer(reader, "u32", out); }

}  // namespace devctl::json
