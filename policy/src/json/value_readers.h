#pragma once
// Readers of single values into C++ values. On a value of another type they
// fail with "invalid type: {what}, expected {exp}", on an integer out of
// range with "invalid value: integer `n`, expected {exp}".
#include <cstdint>
#include <optional>
#include <string>

#include "json/reader.h"

namespace devctl::json {

bool read_string(Reader& reader, std::string& out);  // expected "a string"
bool read_bool(Reader& reader, bool& out);           // expected "a boolean"
bool read_i32(Reader& reader, int32_t& out);         // expected "i32"
bool read_u32(Reader& reader, uint32_t& out);        // expected "u32"

// Reads "null" when it comes next (out empty), otherwise the inner reader.
template <class T, class Inner>
bool read_optional(Reader& reader, std::optional<T>& out, Inner inner) {
    int c = reader.peek();
    if (c < 0) return reader.fail_eof_value();
    if (c == 'n') {
        if (!reader.parse_literal(c)) return false;
        out.reset();
        return true;
    }
    T value{};
    if (!inner(reader, value)) return false;
    out = std::move(value);
    return true;
}

}  // namespace devctl::json
