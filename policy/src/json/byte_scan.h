#pragma once
// Scanning the text sixteen bytes at a time: whitespace runs (most of an
// indented document) and plain runs of string text. Each function has a
// byte-wise tail, which is also the whole loop where SSE2 is missing.
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace devctl::json {

inline bool is_json_space(unsigned char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r'; }

// The first byte in [p, end) that is not JSON whitespace, or end.
inline const char* skip_space(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi8(' ');
    const __m128i newline = _mm_set1_epi8('\n');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i cr = _mm_set1_epi8('\r');
    while (end - p >= 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i blank = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, space), _mm_cmpeq_epi8(v, newline)),
                                     _mm_or_si128(_mm_cmpeq_epi8(v, tab), _mm_cmpeq_epi8(v, cr)));
        auto other = static_cast<unsigned>(_mm_movemask_epi8(blank)) ^ 0xFFFFu;
        if (other) return p + __builtin_ctz(other);
        p += 16;
    }
#endif
    while (p != end && is_json_space(static_cast<unsigned char>(*p))) ++p;
    return p;
}

// The first byte in [p, end) that ends a plain run of string text: a double
// quote, a backslash or a control character below 0x20, and with high_bytes
// also any byte from 0x80 on; end when there is none.
template <bool high_bytes = false>
inline const char* find_string_special(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i backslash = _mm_set1_epi8('\\');
    while (end - p >= 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        // Signed, bytes from 0x80 on are negative: one compare takes them
        // along with the controls. Unsigned, v <= 0x1F is v - 0x1F
        // saturating to zero.
        __m128i low = high_bytes ? _mm_cmplt_epi8(v, _mm_set1_epi8(0x20))
                                 : _mm_cmpeq_epi8(_mm_subs_epu8(v, _mm_set1_epi8(0x1F)), _mm_setzero_si128());
        __m128i hit = _mm_or_si128(low, _mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, backslash)));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask) return p + __builtin_ctz(mask);
        p += 16;
    }
#endif
    for (; p != end; ++p) {
        auto c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\' || c < 0x20 || (high_bytes && c >= 0x80)) break;
    }
    return p;
}

}  // namespace devctl::json
