#include "json/writer.h"

#include <charconv>

#include "json/byte_scan.h"

namespace devctl::json {
namespace {

// A piece for the sink; a string longer than that only makes one piece longer.
constexpr size_t kPieceSize = 1 << 20;

template <class Int>
void append_integer(std::string& out, Int value) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, res.ptr);
}

}  // namespace

Writer::Writer(Sink sink) : sink_(sink) {
    out_.reserve(kPieceSize + (kPieceSize >> 4));
}

void Writer::flush() {
    if (!sink_) return;
    (*sink_)(out_);
    out_.clear();
}

// Every member and element starts on a new line, so this is where a full
// piece is handed on.
void Writer::new_line() {
    if (sink_ && out_.size() >= kPieceSize) flush();
    out_ += '\n';
    out_.append(has_items_.size() * 2, ' ');
}

void Writer::before_value() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (has_items_.empty()) return;
    if (has_items_.back()) out_ += ',';
    has_items_.back() = true;
    new_line();
}

void Writer::key(std::string_view name) {
    before_value();
    append_escaped(name);
    out_ += ": ";
    after_key_ = true;
}

void Writer::open(char bracket) {
    before_value();
    out_ += bracket;
    has_items_.push_back(false);
}

void Writer::close(char bracket) {
    bool had_items = has_items_.back();
    has_items_.pop_back();
    if (had_items) new_line();
    out_ += bracket;
}

void Writer::string(std::string_view text) {
    before_value();
    append_escaped(text);
}

void Writer::integer(int64_t value) {
    before_value();
    append_integer(out_, value);
}

void Writer::unsigned_integer(uint64_t value) {
    before_value();
    append_integer(out_, value);
}

void Writer::boolean(bool value) {
    before_value();
    out_ += value ? "true" : "false";
}

void Writer::null() {
    before_value();
    out_ += "null";
}

void Writer::append_escaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out_ += '"';
    const char* p = text.data();
    const char* end = p + text.size();
    while (p != end) {
        const char* run = p;
        p = find_string_special(p, end);
        out_.append(run, p);
        if (p == end) break;
        unsigned char c = static_cast<unsigned char>(*p++);
        switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\b': out_ += "\\b"; break;
            case '\t': out_ += "\\t"; break;
            case '\n': out_ += "\\n"; break;
            case '\f': out_ += "\\f"; break;
            case '\r': out_ += "\\r"; break;
            default:
                out_ += "\\u00";
                out_ += kHex[c >> 4];
                out_ += kHex[c & 0xF];
        }
    }
    out_ += '"';
}

}  // namespace devctl::json
