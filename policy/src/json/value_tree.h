#pragma once
// A whole JSON value in memory, for values that must be seen entirely before
// they can be interpreted. Objects keep their members in document order,
// repeated names included; every string and key is checked for UTF-8.
//
// All nodes live in one array that is reused from one read to the next;
// texts are views into the document (or into the tree, for strings with
// escapes), valid while both live and until the next read.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "json/reader.h"

namespace devctl::json {

struct Node {
    static constexpr uint32_t kNone = UINT32_MAX;
    enum class Kind : uint8_t { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    uint32_t size = 0;       // Array elements or Object members
    uint32_t first = kNone;  // first element or member
    uint32_t next = kNone;   // next element or member of the parent
    Number number;
    std::string_view text;   // String
    std::string_view key;    // member name, when the parent is an Object
};

class ValueTree {
public:
    // Reads one value; arrays and objects count against the nesting budget.
    bool read(Reader& reader);

    const Node& root() const { return nodes_.front(); }
    const Node& node(uint32_t index) const { return nodes_[index]; }

    // Calls f(child) for each element or member in order while it returns true.
    template <class F>
    bool each_child(const Node& parent, F f) const {
        for (uint32_t i = parent.first; i != Node::kNone; i = nodes_[i].next)
            if (!f(nodes_[i])) return false;
        return true;
    }

private:
    bool read_node(Reader& reader, uint32_t index);
    bool read_text(Reader& reader, std::string_view& out);

    std::vector<Node> nodes_;
    std::deque<std::string> escaped_;  // texts that were unescaped into new storage
};

}  // namespace devctl::json
