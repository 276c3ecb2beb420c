#include "cli/unicode_text.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace devctl::cli {
namespace {

// Calls f(code point) for each character; invalid sequences give a negative value.
template <class F>
void for_each_code_point(std::string_view text, F f) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    auto length = static_cast<int32_t>(text.size());
    int32_t i = 0;
    while (i < length) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        f(c);
    }
}

size_t char_width(UChar32 c) {
    if (c < 0) return 1;
    int8_t category = u_charType(c);
    if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK || category == U_CONTROL_CHAR ||
        category == U_FORMAT_CHAR) {
        return 0;
    }
    int width = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
    return (width == U_EA_WIDE || width == U_EA_FULLWIDTH) ? 2 : 1;
}

// Appends one code point as UTF-8.
void append_utf8(std::string& out, char32_t c) {
    char buffer[4];
    int32_t length = 0;
    U8_APPEND_UNSAFE(reinterpret_cast<uint8_t*>(buffer), length, static_cast<UChar32>(c));
    out.append(buffer, static_cast<size_t>(length));
}

}  // namespace

bool is_valid_utf8(std::string_view text) {
    bool valid = true;
    for_each_code_point(text, [&](UChar32 c) { valid = valid && c >= 0; });
    return valid;
}

size_t first_char_length(std::string_view text) {
    int32_t length = 0;
    U8_FWD_1(reinterpret_cast<const uint8_t*>(text.data()), length, static_cast<int32_t>(text.size()));
    return static_cast<size_t>(length);
}

size_t display_width(std::string_view text) {
    size_t width = 0;
    for_each_code_point(text, [&](UChar32 c) { width += char_width(c); });
    return width;
}

std::vector<char32_t> code_points(std::string_view text) {
    std::vector<char32_t> out;
    for_each_code_point(text, [&](UChar32 c) { out.push_back(c < 0 ? U'\uFFFD' : static_cast<char32_t>(c)); });
    return out;
}

std::string lossy_utf8(std::string_view text) {
    std::string out;
    for (char32_t c : code_points(text)) append_utf8(out, c);
    return out;
}

}  // namespace devctl::cli
