#pragma once
// Finding the bytes that end a plain run of string text, eight at a time.
#include <cstdint>
#include <cstring>

namespace devctl::json {

// The first byte in [p, end) that is a double quote, a backslash or a
// control character below 0x20, or end when there is none.
inline const char* find_string_special(const char* p, const char* end) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighs = 0x8080808080808080ULL;
    while (end - p >= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        uint64_t q = w ^ (kOnes * '"');
        uint64_t b = w ^ (kOnes * '\\');
        // Bit 7 per matching byte; borrows can only flag bytes above a
        // true match, so the lowest flag is exact.
        uint64_t mask = (((q - kOnes) & ~q) | ((b - kOnes) & ~b) | ((w - kOnes * 0x20) & ~w)) & kHighs;
        if (mask) return p + __builtin_ctzll(mask) / 8;
        p += 8;
    }
    for (; p != end; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\' || c < 0x20) break;
    }
    return p;
}

}  // namespace devctl::json
