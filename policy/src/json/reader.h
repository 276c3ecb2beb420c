#pragma once
// One-pass pull reader over a JSON text held in memory.
//
// Usage: call peek() to skip whitespace and see the next byte, then one of the
// token functions. Every function that can fail returns false after storing
// the error (message, category, line and column); take_error() hands it out.
// Errors raised with fail_unplaced() get their position later, where the
// enclosing record ends (see record.h). Most callers only need the value
// readers of value_readers.h and read_record() of record.h.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "json/byte_scan.h"
#include "json/json_error.h"

namespace devctl::json {

// A number as read: integers that fit 64 bits keep their sign and value;
// fractions, exponents, -0 and larger integers are floats.
struct Number {
    enum class Kind : uint8_t { Unsigned, Negative, Float };
    Kind kind = Kind::Unsigned;
    uint64_t u = 0;  // Unsigned
    int64_t i = 0;   // Negative (always < 0)
    double f = 0;    // Float
};

class Reader {
public:
    explicit Reader(std::string_view text)
        : begin_(text.data()), cur_(text.data()), end_(text.data() + text.size()) {}

    // Skips whitespace; the next byte (0-255) or -1 at the end of the text.
    int peek() {
        if (cur_ != end_ && static_cast<unsigned char>(*cur_) > ' ') return static_cast<unsigned char>(*cur_);
        cur_ = skip_space(cur_, end_);
        return cur_ == end_ ? -1 : static_cast<unsigned char>(*cur_);
    }
    // Consumes one byte already seen with peek().
    void bump() { ++cur_; }
    size_t offset() const { return static_cast<size_t>(cur_ - begin_); }
    // Whether a string view from parse_string() points into the text (it
    // points into reusable scratch space when the string had escapes).
    bool points_into_text(std::string_view view) const {
        return view.data() >= begin_ && view.data() <= end_;
    }

    // Tokens. Each expects peek() to have shown its first byte.
    // String: strict UTF-8; the view lives until the next string is read.
    bool parse_string(std::string_view& out);
    bool parse_number(Number& out);
    // true, false or null, whose first byte c was seen; the rest must follow.
    bool parse_literal(int c);
    // Skips one well-formed value of any depth without recursion; strings in
    // it are not checked for UTF-8 and nothing counts against the budget.
    bool skip_value();

    // After the document's value: only whitespace may follow, else
    // "trailing characters".
    bool finish();

    // Containers. enter() consumes the bracket seen by peek() and takes one
    // level of the nesting budget; leave() gives it back.
    bool enter();
    void leave() { ++budget_; }
    // Before each member or element: more is false at the container's
    // closing bracket (not consumed); in an object, when more is true the
    // cursor stands at the key's opening quote. first starts true and is
    // managed by the call.
    bool next_item(bool& first, bool& more, char close);
    bool colon();
    // After the last field of a record in array form: the closing bracket,
    // else "trailing comma" / "trailing characters".
    bool end_record_array();

    // Errors; all return false. fail() places the error after what was
    // consumed, fail_peeked() first consumes the byte seen by peek().
    bool fail(std::string message, JsonErrorCategory category);
    bool fail_peeked(std::string message, JsonErrorCategory category);
    bool fail_eof_value() { return fail("EOF while parsing a value", JsonErrorCategory::Eof); }
    // "invalid type: {what}, expected {expected}" for the value at the cursor
    // (scalars are consumed, brackets are not); at the end of the text, the
    // end-of-value error.
    bool fail_invalid_type(std::string_view expected);
    // A data error whose position is fixed later by place_at_close().
    bool fail_unplaced(std::string message);
    // Places an unplaced error, if any, where a record ends: past the
    // whitespace that follows, and past the record's closing bracket when
    // that comes next; in a list, past a comma that comes next and the
    // whitespace after it; any other byte is left unread.
    void place_at_close(char close);

    JsonError take_error();

private:
    bool scan_string(std::string_view& out, bool keep);
    bool parse_escape(bool keep);
    bool skip_number();
    bool skip_scalar(int c);
    bool skip_key();
    bool fail_between_items(int c, bool object);
    void set_position(size_t consumed);

    const char* begin_;
    const char* cur_;
    const char* end_;
    int budget_ = 128;
    bool placed_ = true;  // false while an error waits for its position
    JsonError error_;
    std::string scratch_;
};

}  // namespace devctl::json
