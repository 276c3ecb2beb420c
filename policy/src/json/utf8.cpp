#include "json/utf8.h"

#include <cstdint>
#include <cstring>

namespace devctl::json {

bool valid_utf8(std::string_view text) {
    auto p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = p + text.size();
    while (p < end) {
        // Eight ASCII bytes at a time.
        if (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        size_t need;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            need = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            need = 2;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            need = 3;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (static_cast<size_t>(end - p) <= need) return false;
        if (p[1] < lo || p[1] > hi) return false;
        for (size_t i = 2; i <= need; ++i)
            if ((p[i] & 0xC0) != 0x80) return false;
        p += need + 1;
    }
    return true;
}

}  // namespace devctl::json
