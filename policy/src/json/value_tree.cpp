#include "json/value_tree.h"

namespace devctl::json {

bool read_value(Reader& reader, Value& out) {
    int c = reader.peek();
    switch (c) {
        case 'n':
            reader.bump();
            out.kind = Value::Kind::Null;
            return reader.parse_literal("ull");
        case 't':
        case 'f':
            reader.bump();
            out.kind = Value::Kind::Bool;
            out.boolean = c == 't';
            return reader.parse_literal(out.boolean ? "rue" : "alse");
        case '"': {
            std::string_view text;
            if (!reader.parse_string(text)) return false;
            out.kind = Value::Kind::String;
            out.text.assign(text);
            return true;
        }
        case '[': {
            if (!reader.enter()) return false;
            out.kind = Value::Kind::Array;
            bool first = true;
            for (;;) {
                bool more = false;
                if (!reader.next_element(first, more)) return false;
                if (!more) break;
                if (!read_value(reader, out.items.emplace_back())) return false;
            }
            reader.bump();
            reader.leave();
            return true;
        }
        case '{': {
            if (!reader.enter()) return false;
            out.kind = Value::Kind::Object;
            bool first = true;
            for (;;) {
                bool more = false;
                if (!reader.next_member(first, more)) return false;
                if (!more) break;
                std::string_view key;
                if (!reader.parse_string(key)) return false;
                out.keys.emplace_back(key);
                if (!reader.colon() || !read_value(reader, out.items.emplace_back())) return false;
            }
            reader.bump();
            reader.leave();
            return true;
        }
        default:
            if (c == '-' || (c >= '0' && c <= '9')) {
                out.kind = Value::Kind::Number;
                return reader.parse_number(out.number);
            }
            if (c < 0) return reader.fail_eof_value();
            return reader.fail_peeked("expected value", JsonErrorCategory::Syntax);
    }
}

}  // namespace devctl::json
