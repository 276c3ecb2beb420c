#pragma once
// A whole JSON value in memory, for values that must be seen entirely before
// they can be interpreted. Objects keep their members in document order,
// repeated names included; every string and key is checked for UTF-8.
#include <string>
#include <vector>

#include "json/reader.h"

namespace devctl::json {

struct Value {
    enum class Kind : uint8_t { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    Number number;
    std::string text;               // String
    std::vector<Value> items;       // Array elements, or Object member values
    std::vector<std::string> keys;  // Object member names, parallel to items
};

// Reads one value; arrays and objects count against the nesting budget.
bool read_value(Reader& reader, Value& out);

}  // namespace devctl::json
