#include "json/value_tree.h"

namespace devctl::json {

bool ValueTree::read(Reader& reader) {
    nodes_.clear();
    escaped_.clear();
    nodes_.emplace_back();
    return read_node(reader, 0);
}

bool ValueTree::read_text(Reader& reader, std::string_view& out) {
    if (!reader.parse_string(out)) return false;
    if (!reader.points_into_text(out)) out = escaped_.emplace_back(out);
    return true;
}

// Children are appended after their parent; indices stay valid while the
// array grows, references do not.
bool ValueTree::read_node(Reader& reader, uint32_t index) {
    int c = reader.peek();
    switch (c) {
        case 'n':
            nodes_[index].kind = Node::Kind::Null;
            return reader.parse_literal(c);
        case 't':
        case 'f':
            nodes_[index].kind = Node::Kind::Bool;
            nodes_[index].boolean = c == 't';
            return reader.parse_literal(c);
        case '"':
            nodes_[index].kind = Node::Kind::String;
            return read_text(reader, nodes_[index].text);
        case '[':
        case '{': {
            if (!reader.enter()) return false;
            bool object = c == '{';
            nodes_[index].kind = object ? Node::Kind::Object : Node::Kind::Array;
            uint32_t last = Node::kNone;
            bool first = true;
            for (;;) {
                bool more = false;
                if (!reader.next_item(first, more, object ? '}' : ']')) return false;
                if (!more) break;
                auto child = static_cast<uint32_t>(nodes_.size());
                nodes_.emplace_back();
                (last == Node::kNone ? nodes_[index].first : nodes_[last].next) = child;
                last = child;
                ++nodes_[index].size;
                if (object && (!read_text(reader, nodes_[child].key) || !reader.colon())) return false;
                if (!read_node(reader, child)) return false;
            }
            reader.bump();
            reader.leave();
            return true;
        }
        default:
            if (c == '-' || (c >= '0' && c <= '9')) {
                nodes_[index].kind = Node::Kind::Number;
                return reader.parse_number(nodes_[index].number);
            }
            if (c < 0) return reader.fail_eof_value();
            return reader.fail_peeked("expected value", JsonErrorCategory::Syntax);
    }
}

}  // namespace devctl::json
