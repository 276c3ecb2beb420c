#pragma once
// Reading records (object or array form), maps and lists.
//
// A record is read either from an object (keys in any order, unknown keys
// skipped, a key twice is "duplicate field `k`", required keys checked in
// declaration order at the closing brace as "missing field `k`") or from an
// array of its field values in declaration order ("invalid length n,
// expected {count_text}" when it ends early, "trailing characters" when it
// is longer). Duplicate fields and errors raised without a position inside
// a field are placed where the record ends (see place_at_close()).
#include <cstdint>
#include <span>
#include <string_view>

#include "json/function_ref.h"
#include "json/reader.h"

namespace devctl::json {

struct RecordShape {
    std::string_view expecting;               // "struct Policy"
    std::string_view count_text;              // "struct Policy with 9 elements"
    std::span<const std::string_view> keys;   // declaration order
    uint32_t required = 0;                    // object form: bit i = key i must appear
    uint32_t optional_in_array = 0;           // array form: bit i = element i may be missing
};

// read_field(i) reads the value of field i (the cursor is at it); fields
// that do not occur keep what the target already holds.
bool read_record(Reader& reader, const RecordShape& shape, FunctionRef<bool(size_t)> read_field);

// A JSON object as a map ("a map"): read_entry(key) reads the value of each
// member in document order. The key view dies with the next string read, so
// copy it before reading the value.
bool read_map(Reader& reader, FunctionRef<bool(std::string_view)> read_entry);

// A JSON array as a list ("a sequence"): read_element() reads each element.
bool read_list(Reader& reader, FunctionRef<bool()> read_element);

}  // namespace devctl::json
