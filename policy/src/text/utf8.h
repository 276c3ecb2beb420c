#pragma once
// UTF-8 in one place: encoding a code point, decoding one character, and
// strict validation (no overlong forms, no surrogates, nothing above
// U+10FFFF).
#include <cstddef>
#include <string>
#include <string_view>

namespace devctl {

// Appends a code point below U+110000 as one to four bytes.
void append_utf8(std::string& out, char32_t code_point);

// The first character of non-empty text. An ill-formed sequence is invalid
// and spans its longest well-formed beginning, at least one byte, so that
// every broken sequence counts as one character.
struct Utf8Char {
    char32_t code_point = 0;  // U+FFFD when invalid
    size_t length = 0;
    bool valid = false;
};
Utf8Char decode_utf8(std::string_view text);

bool valid_utf8(std::string_view text);

// Calls f(Utf8Char) for each character of text.
template <class F>
void for_each_utf8_char(std::string_view text, F f) {
    while (!text.empty()) {
        Utf8Char c = decode_utf8(text);
        f(c);
        text.remove_prefix(c.length);
    }
}

}  // namespace devctl
