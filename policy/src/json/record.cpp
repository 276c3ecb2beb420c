#include "json/record.h"

#include <string>

namespace devctl::json {
namespace {

bool close_container(Reader& reader) {
    reader.bump();
    reader.leave();
    return true;
}

bool fail_in_field(Reader& reader, char close) {
    reader.place_at_close(close);
    return false;
}

// The items of a map (from the key on) or a list, each read by read_item.
bool read_items(Reader& reader, char open, std::string_view expected, FunctionRef<bool()> read_item) {
    if (reader.peek() != open) return reader.fail_invalid_type(expected);
    if (!reader.enter()) return false;
    bool first = true;
    for (;;) {
        bool more = false;
        if (!reader.next_item(first, more, open == '{' ? '}' : ']')) return false;
        if (!more) return close_container(reader);
        if (!read_item()) return false;
    }
}

bool read_record_object(Reader& reader, const RecordShape& shape,
                        FunctionRef<bool(size_t)> read_field) {
    uint32_t seen = 0;
    bool first = true;
    for (;;) {
        bool more = false;
        if (!reader.next_item(first, more, '}')) return false;
        if (!more) break;
        std::string_view key;
        if (!reader.parse_string(key)) return false;
        size_t index = 0;
        while (index < shape.keys.size() && shape.keys[index] != key) ++index;
        if (index == shape.keys.size()) {
            if (!reader.colon() || !reader.skip_value()) return false;
            continue;
        }
        uint32_t bit = uint32_t{1} << index;
        if (seen & bit) {
            reader.fail_unplaced("duplicate field `" + std::string(key) + "`");
            return fail_in_field(reader, '}');
        }
        seen |= bit;
        if (!reader.colon()) return false;
        if (!read_field(index)) return fail_in_field(reader, '}');
    }
    if (uint32_t missing = shape.required & ~seen) {
        std::string_view key = shape.keys[static_cast<size_t>(__builtin_ctz(missing))];
        reader.fail_unplaced("missing field `" + std::string(key) + "`");
        return fail_in_field(reader, '}');
    }
    return close_container(reader);
}

bool read_record_array(Reader& reader, const RecordShape& shape,
                       FunctionRef<bool(size_t)> read_field) {
    bool first = true;
    for (size_t index = 0; index < shape.keys.size(); ++index) {
        bool more = false;
        if (!reader.next_item(first, more, ']')) return false;
        if (!more) {
            if (shape.optional_in_array & (uint32_t{1} << index)) continue;
            reader.fail_unplaced("invalid length " + std::to_string(index) + ", expected " +
                                 std::string(shape.count_text));
            return fail_in_field(reader, ']');
        }
        if (!read_field(index)) return fail_in_field(reader, ']');
    }
    if (!reader.end_record_array()) return false;
    reader.leave();
    return true;
}

}  // namespace

bool read_record(Reader& reader, const RecordShape& shape, FunctionRef<bool(size_t)> read_field) {
    int c = reader.peek();
    if (c != '{' && c != '[') return reader.fail_invalid_type(shape.expecting);
    if (!reader.enter()) return false;
    return c == '{' ? read_record_object(reader, shape, read_field) : read_record_array(reader, shape, read_field);
}

bool read_map(Reader& reader, FunctionRef<bool(std::string_view)> read_entry) {
    return read_items(reader, '{', "a map", [&] {
        std::string_view key;
        return reader.parse_string(key) && reader.colon() && read_entry(key);
    });
}

bool read_list(Reader& reader, FunctionRef<bool()> read_element) {
    return read_items(reader, '[', "a sequence", read_element);
}

}  // namespace devctl::json
