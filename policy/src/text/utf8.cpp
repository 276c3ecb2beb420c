#include "text/utf8.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace devctl {

void append_utf8(std::string& out, char32_t cp) {
    char bytes[U8_MAX_LENGTH];
    size_t n = 0;
    U8_APPEND_UNSAFE(bytes, n, cp);
    out.append(bytes, n);
}

Utf8Char decode_utf8(std::string_view text) {
    // ICU rejects overlong forms, surrogates and code points above U+10FFFF,
    // and stops an ill-formed sequence at its first bad byte. No character
    // is longer than four bytes.
    const auto length = static_cast<int32_t>(std::min<size_t>(text.size(), U8_MAX_LENGTH));
    int32_t i = 0;
    UChar32 c;
    U8_NEXT(reinterpret_cast<const uint8_t*>(text.data()), i, length, c);
    if (c < 0) return {U'\uFFFD', static_cast<size_t>(i), false};
    return {static_cast<char32_t>(c), static_cast<size_t>(i), true};
}

bool valid_utf8(std::string_view text) {
    while (!text.empty()) {
        // Eight ASCII bytes at a time.
        uint64_t word;
        if (text.size() >= 8 && (std::memcpy(&word, text.data(), 8), (word & 0x8080808080808080ULL) == 0)) {
            text.remove_prefix(8);
            continue;
        }
        Utf8Char c = decode_utf8(text);
        if (!c.valid) return false;
        text.remove_prefix(c.length);
    }
    return true;
}

}  // namespace devctl
