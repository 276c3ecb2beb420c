#include "text/utf8.h"

#include <cstdint>
#include <cstring>

namespace devctl {

void append_utf8(std::string& out, char32_t cp) {
    char bytes[4];
    size_t n;
    if (cp < 0x80) {
        bytes[0] = static_cast<char>(cp);
        n = 1;
    } else if (cp < 0x800) {
        bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
        bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
        n = 2;
    } else if (cp < 0x10000) {
        bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
        bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
        n = 3;
    } else {
        bytes[0] = static_cast<char>(0xF0 | (cp >> 18));
        bytes[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        bytes[3] = static_cast<char>(0x80 | (cp & 0x3F));
        n = 4;
    }
    out.append(bytes, n);
}

Utf8Char decode_utf8(std::string_view text) {
    auto p = reinterpret_cast<const unsigned char*>(text.data());
    unsigned char lead = p[0];
    if (lead < 0x80) return {lead, 1, true};
    size_t need;
    char32_t cp;
    // The range of the first continuation byte rules out overlong forms,
    // surrogates and code points above U+10FFFF.
    unsigned char lo = 0x80, hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) lo = 0xA0;
        if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) lo = 0x90;
        if (lead == 0xF4) hi = 0x8F;
    } else {
        return {U'\uFFFD', 1, false};
    }
    for (size_t i = 1; i <= need; ++i) {
        if (i >= text.size() || p[i] < lo || p[i] > hi) return {U'\uFFFD', i, false};
        cp = (cp << 6) | (p[i] & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    return {cp, need + 1, true};
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
