#pragma once
// Pretty JSON writer: two-space indent, one member or element per line,
// "{}" / "[]" when empty, standard escaping, no final newline.
//
// Usage: begin_object(); key("a"); integer(1); end_object(); then take(),
// or, writing to a sink, flush().
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/function_ref.h"

namespace devctl::json {

class Writer {
public:
    using Sink = FunctionRef<void(std::string_view)>;

    // The text stays in memory until take().
    Writer() = default;
    // The text goes to sink in pieces of about 1 MiB as it is written; the
    // last piece with flush().
    explicit Writer(Sink sink);

    void begin_object() { open('{'); }
    void end_object() { close('}'); }
    void begin_array() { open('['); }
    void end_array() { close(']'); }
    // Inside an object: the member's key; its value follows.
    void key(std::string_view name);

    void string(std::string_view text);
    void integer(int64_t value);
    void unsigned_integer(uint64_t value);
    void boolean(bool value);
    void null();

    std::string take() { return std::move(out_); }
    // Hands what is buffered to the sink.
    void flush();

private:
    void open(char bracket);
    void close(char bracket);
    void before_value();
    void new_line();
    void append_escaped(std::string_view text);

    std::string out_;
    std::optional<Sink> sink_;
    std::vector<bool> has_items_;  // one per open container
    bool after_key_ = false;
};

}  // namespace devctl::json
