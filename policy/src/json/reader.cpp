#include "json/reader.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "json/describe.h"
#include "json/float_parts.h"
#include "text/utf8.h"

namespace devctl::json {
namespace {

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void Reader::set_position(size_t consumed) {
    const char* stop = begin_ + consumed;
    size_t line = 1;
    const char* line_start = begin_;
    for (const char* p = begin_; p < stop;) {
        const void* nl = std::memchr(p, '\n', static_cast<size_t>(stop - p));
        if (!nl) break;
        ++line;
        p = static_cast<const char*>(nl) + 1;
        line_start = p;
    }
    error_.line = line;
    error_.column = static_cast<size_t>(stop - line_start);
}

bool Reader::fail(std::string message, JsonErrorCategory category) {
    placed_ = true;
    error_.message = std::move(message);
    error_.category = category;
    set_position(offset());
    return false;
}

bool Reader::fail_peeked(std::string message, JsonErrorCategory category) {
    if (cur_ != end_) ++cur_;
    return fail(std::move(message), category);
}

bool Reader::fail_unplaced(std::string message) {
    placed_ = false;
    error_.message = std::move(message);
    error_.category = JsonErrorCategory::Data;
    return false;
}

void Reader::place_at_close(char close) {
    if (placed_) return;
    // The whitespace after the failed part counts as read; of what follows
    // it, only the record's own closing bracket is taken, or, in a list, the
    // comma that starts an element too many, with the whitespace after it.
    const int next = peek();
    if (next == static_cast<unsigned char>(close)) {
        ++cur_;
    } else if (close == ']' && next == ',') {
        ++cur_;
        peek();
    }
    placed_ = true;
    set_position(offset());
}

JsonError Reader::take_error() {
    if (!placed_) {
        placed_ = true;
        set_position(offset());
    }
    return std::move(error_);
}

bool Reader::fail_invalid_type(std::string_view expected) {
    int c = peek();
    std::string what;
    switch (c) {
        case 'n':
        case 't':
        case 'f':
            if (!parse_literal(c)) return false;
            what = c == 'n' ? "null" : c == 't' ? "boolean `true`" : "boolean `false`";
            break;
        case '"': {
            std::string_view text;
            if (!parse_string(text)) return false;
            what = describe_string(text);
            break;
        }
        case '[': what = "sequence"; break;
        case '{': what = "map"; break;
        default:
            if (c == '-' || (c >= '0' && c <= '9')) {
                Number number;
                if (!parse_number(number)) return false;
                what = describe_number(number);
                break;
            }
            if (c < 0) return fail_eof_value();
            return fail_peeked("expected value", JsonErrorCategory::Syntax);
    }
    return fail(invalid_type(what, expected), JsonErrorCategory::Data);
}

bool Reader::parse_literal(int c) {
    ++cur_;
    for (char want : std::string_view(c == 'n' ? "ull" : c == 't' ? "rue" : "alse")) {
        if (cur_ == end_) return fail_eof_value();
        if (*cur_++ != want) return fail("expected ident", JsonErrorCategory::Syntax);
    }
    return true;
}

bool Reader::parse_string(std::string_view& out) {
    ++cur_;  // opening quote
    return scan_string(out, true);
}

// Cursor after the opening quote. When keep is false the text is only
// checked for form (skipped values), and out is left alone.
bool Reader::scan_string(std::string_view& out, bool keep) {
    const char* start = cur_;
    bool escaped = false;
    // Only text with a byte from 0x80 on needs the UTF-8 check; once one is
    // seen, the scan no longer stops at them.
    bool high = false;
    for (;;) {
        cur_ = keep && !high ? find_string_special<true>(cur_, end_) : find_string_special<false>(cur_, end_);
        if (cur_ == end_) return fail("EOF while parsing a string", JsonErrorCategory::Eof);
        char c = *cur_;
        if (static_cast<unsigned char>(c) >= 0x80) {
            high = true;
            continue;
        }
        if (c == '"') {
            if (keep) {
                if (escaped) {
                    scratch_.append(start, cur_);
                    out = scratch_;
                } else {
                    out = std::string_view(start, static_cast<size_t>(cur_ - start));
                }
            }
            ++cur_;
            if (high && !valid_utf8(out))
                return fail("invalid unicode code point", JsonErrorCategory::Syntax);
            return true;
        }
        if (c != '\\') {
            // A skipped string stops before the control character.
            if (keep) ++cur_;
            return fail("control character (\\u0000-\\u001F) found while parsing a string",
                        JsonErrorCategory::Syntax);
        }
        if (keep) {
            if (!escaped) scratch_.clear();
            scratch_.append(start, cur_);
        }
        escaped = true;
        ++cur_;  // backslash
        if (!parse_escape(keep)) return false;
        start = cur_;
    }
}

bool Reader::parse_escape(bool keep) {
    if (cur_ == end_) return fail("EOF while parsing a string", JsonErrorCategory::Eof);
    // The one-letter escapes and, at the same place, the bytes they stand for.
    static constexpr std::string_view kLetters = "\"\\/bfnrt";
    static constexpr std::string_view kBytes = "\"\\/\b\f\n\r\t";
    char c = *cur_++;
    if (c != 'u') {
        size_t at = kLetters.find(c);
        if (at == std::string_view::npos) return fail("invalid escape", JsonErrorCategory::Syntax);
        if (keep) scratch_ += kBytes[at];
        return true;
    }
    // Fewer than four bytes left is the end of input, whatever they are.
    auto hex4 = [this](uint32_t& value) {
        value = 0;
        if (end_ - cur_ < 4) {
            cur_ = end_;
            return fail("EOF while parsing a string", JsonErrorCategory::Eof);
        }
        const char* digits_end = cur_ + 4;
        cur_ = std::from_chars(cur_, digits_end, value, 16).ptr;
        if (cur_ == digits_end) return true;
        ++cur_;  // the byte that is not a hex digit counts as read
        return fail("invalid escape", JsonErrorCategory::Syntax);
    };
    uint32_t cp;
    if (!hex4(cp)) return false;
    if (!keep) return true;
    if (cp >= 0xDC00 && cp <= 0xDFFF)
        return fail("lone leading surrogate in hex escape", JsonErrorCategory::Syntax);
    if (cp >= 0xD800 && cp <= 0xDBFF) {
        for (char want : {'\\', 'u'}) {
            if (cur_ == end_) return fail("EOF while parsing a string", JsonErrorCategory::Eof);
            if (*cur_++ != want)
                return fail("unexpected end of hex escape", JsonErrorCategory::Syntax);
        }
        uint32_t low;
        if (!hex4(low)) return false;
        if (low < 0xDC00 || low > 0xDFFF)
            return fail("lone leading surrogate in hex escape", JsonErrorCategory::Syntax);
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
    }
    append_utf8(scratch_, cp);
    return true;
}

// Cursor at '-' or a digit. Integers that overflow 64 bits keep their first
// digits in the significand; the rest only scale it.
bool Reader::parse_number(Number& out) {
    bool negative = *cur_ == '-';
    if (negative) ++cur_;
    if (cur_ == end_) return fail_eof_value();
    char first = *cur_++;
    if (!is_digit(first)) return fail("invalid number", JsonErrorCategory::Syntax);
    auto fits = [](uint64_t significand, char c) {
        return significand <= (UINT64_MAX - static_cast<uint64_t>(c - '0')) / 10;
    };
    uint64_t significand = static_cast<uint64_t>(first - '0');
    int64_t exponent = 0;
    bool is_float = false;
    if (first == '0') {
        if (cur_ != end_ && is_digit(*cur_)) return fail_peeked("invalid number", JsonErrorCategory::Syntax);
    } else {
        for (; cur_ != end_ && is_digit(*cur_); ++cur_) {
            if (exponent == 0 && fits(significand, *cur_))
                significand = significand * 10 + static_cast<uint64_t>(*cur_ - '0');
            else
                ++exponent;
        }
        is_float = exponent > 0;
    }
    if (cur_ != end_ && *cur_ == '.') {
        ++cur_;
        is_float = true;
        const char* digits = cur_;
        bool full = false;
        for (; cur_ != end_ && is_digit(*cur_); ++cur_) {
            full = full || !fits(significand, *cur_);
            if (full) continue;
            significand = significand * 10 + static_cast<uint64_t>(*cur_ - '0');
            --exponent;
        }
        if (cur_ == digits)
            return cur_ == end_ ? fail_eof_value() : fail_peeked("invalid number", JsonErrorCategory::Syntax);
    }
    if (cur_ != end_ && (*cur_ == 'e' || *cur_ == 'E')) {
        ++cur_;
        is_float = true;
        bool positive_exp = true;
        if (cur_ != end_ && (*cur_ == '+' || *cur_ == '-')) positive_exp = *cur_++ == '+';
        if (cur_ == end_) return fail_eof_value();
        if (!is_digit(*cur_)) return fail_peeked("invalid number", JsonErrorCategory::Syntax);
        int64_t exp = *cur_++ - '0';
        while (cur_ != end_ && is_digit(*cur_)) {
            exp = exp * 10 + (*cur_++ - '0');
            if (exp <= INT32_MAX) continue;
            // An exponent beyond 32 bits: too large, or zero.
            if (significand != 0 && positive_exp)
                return fail("number out of range", JsonErrorCategory::Syntax);
            while (cur_ != end_ && is_digit(*cur_)) ++cur_;
            out.kind = Number::Kind::Float;
            out.f = negative ? -0.0 : 0.0;
            return true;
        }
        exponent += positive_exp ? exp : -exp;
    }
    if (!is_float && !negative) {
        out.kind = Number::Kind::Unsigned;
        out.u = significand;
        return true;
    }
    if (!is_float && significand != 0 && significand <= (uint64_t{1} << 63)) {
        out.kind = Number::Kind::Negative;
        out.i = static_cast<int64_t>(0 - significand);
        return true;
    }
    double value = 0;
    exponent = std::clamp<int64_t>(exponent, INT32_MIN, INT32_MAX);
    if (!float_from_parts(significand, static_cast<int32_t>(exponent), value))
        return fail("number out of range", JsonErrorCategory::Syntax);
    out.kind = Number::Kind::Float;
    out.f = negative ? -value : value;
    return true;
}

// Cursor at '-' or a digit. Checks the form only (skipped values).
bool Reader::skip_number() {
    if (*cur_ == '-') ++cur_;
    auto invalid = [this] { return fail_peeked("invalid number", JsonErrorCategory::Syntax); };
    if (cur_ == end_ || !is_digit(*cur_)) return invalid();
    if (*cur_ == '0') {
        ++cur_;
        if (cur_ != end_ && is_digit(*cur_)) return invalid();
    } else {
        while (cur_ != end_ && is_digit(*cur_)) ++cur_;
    }
    if (cur_ != end_ && *cur_ == '.') {
        ++cur_;
        if (cur_ == end_ || !is_digit(*cur_)) return invalid();
        while (cur_ != end_ && is_digit(*cur_)) ++cur_;
    }
    if (cur_ != end_ && (*cur_ == 'e' || *cur_ == 'E')) {
        ++cur_;
        if (cur_ != end_ && (*cur_ == '+' || *cur_ == '-')) ++cur_;
        if (cur_ == end_ || !is_digit(*cur_)) return invalid();
        while (cur_ != end_ && is_digit(*cur_)) ++cur_;
    }
    return true;
}

bool Reader::finish() {
    if (peek() < 0) return true;
    return fail_peeked("trailing characters", JsonErrorCategory::Syntax);
}

bool Reader::enter() {
    if (--budget_ == 0) return fail_peeked("recursion limit exceeded", JsonErrorCategory::Syntax);
    ++cur_;
    return true;
}

// At the end of the text, or at a byte that is neither a comma nor the
// container's closing bracket.
bool Reader::fail_between_items(int c, bool object) {
    if (c < 0)
        return fail(object ? "EOF while parsing an object" : "EOF while parsing a list",
                    JsonErrorCategory::Eof);
    return fail_peeked(object ? "expected `,` or `}`" : "expected `,` or `]`", JsonErrorCategory::Syntax);
}

bool Reader::next_item(bool& first, bool& more, char close) {
    const bool object = close == '}';
    int c = peek();
    if (c < 0) return fail_between_items(c, object);
    more = false;
    if (c == close) return true;
    if (!first) {
        if (c != ',') return fail_between_items(c, object);
        ++cur_;
        c = peek();
        if (c == close) return fail_peeked("trailing comma", JsonErrorCategory::Syntax);
        if (c < 0) return fail_eof_value();
    }
    first = false;
    if (object && c != '"') return fail_peeked("key must be a string", JsonErrorCategory::Syntax);
    more = true;
    return true;
}

bool Reader::end_record_array() {
    int c = peek();
    if (c == ']') {
        ++cur_;
        return true;
    }
    if (c < 0) return fail("EOF while parsing a list", JsonErrorCategory::Eof);
    if (c == ',') {
        ++cur_;
        if (peek() == ']') return fail_peeked("trailing comma", JsonErrorCategory::Syntax);
    }
    return fail_peeked("trailing characters", JsonErrorCategory::Syntax);
}

bool Reader::skip_scalar(int c) {
    switch (c) {
        case 'n':
        case 't':
        case 'f': return parse_literal(c);
        case '"': {
            ++cur_;
            std::string_view unused;
            return scan_string(unused, false);
        }
        default:
            if (c == '-' || (c >= '0' && c <= '9')) return skip_number();
            if (c < 0) return fail_eof_value();
            return fail_peeked("expected value", JsonErrorCategory::Syntax);
    }
}

// Iterative: the brackets of the open containers are kept on a heap stack.
bool Reader::skip_value() {
    std::string open;
    for (;;) {
        int c = peek();
        if (c == '[' || c == '{') {
            ++cur_;
            open += static_cast<char>(c);
            int next = peek();
            if (next != (c == '[' ? ']' : '}')) {
                if (next < 0) return fail_between_items(next, c == '{');
                if (c == '{' && !skip_key()) return false;
                continue;  // the first element or member value
            }
        } else {
            if (!skip_scalar(c)) return false;
            if (open.empty()) return true;
        }
        // After a value inside a container (or at an empty one's close):
        // close as many containers as end here, then expect a comma.
        for (;;) {
            int next = peek();
            char close = open.back() == '[' ? ']' : '}';
            if (next == close) {
                ++cur_;
                open.pop_back();
                if (open.empty()) return true;
                continue;
            }
            if (next != ',') return fail_between_items(next, open.back() == '{');
            ++cur_;
            if (open.back() == '{' && !skip_key()) return false;
            break;
        }
    }
}

// Inside a skipped object, at a member: its key and colon.
bool Reader::skip_key() {
    int c = peek();
    if (c < 0) return fail("EOF while parsing an object", JsonErrorCategory::Eof);
    if (c != '"') return fail_peeked("key must be a string", JsonErrorCategory::Syntax);
    ++cur_;
    std::string_view unused;
    if (!scan_string(unused, false)) return false;
    return colon();
}

bool Reader::colon() {
    int c = peek();
    if (c == ':') {
        ++cur_;
        return true;
    }
    if (c < 0) return fail("EOF while parsing an object", JsonErrorCategory::Eof);
    return fail_peeked("expected `:`", JsonErrorCategory::Syntax);
}

}  // namespace devctl::json
