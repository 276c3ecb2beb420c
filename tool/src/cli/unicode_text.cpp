#include "cli/unicode_text.h"

#include <unicode/uchar.h>

#include "text/utf8.h"

namespace devctl::cli {
namespace {

size_t char_width(Utf8Char c) {
    if (!c.valid) return 1;
    auto cp = static_cast<UChar32>(c.code_point);
    int8_t category = u_charType(cp);
    if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK || category == U_CONTROL_CHAR ||
        category == U_FORMAT_CHAR) {
        return 0;
    }
    int width = u_getIntPropertyValue(cp, UCHAR_EAST_ASIAN_WIDTH);
    return (width == U_EA_WIDE || width == U_EA_FULLWIDTH) ? 2 : 1;
}

}  // namespace

size_t display_width(std::string_view text) {
    size_t width = 0;
    for_each_utf8_char(text, [&](Utf8Char c) { width += char_width(c); });
    return width;
}

std::vector<char32_t> code_points(std::string_view text) {
    std::vector<char32_t> out;
    for_each_utf8_char(text, [&](Utf8Char c) { out.push_back(c.code_point); });
    return out;
}

std::string lossy_utf8(std::string_view text) {
    std::string out;
    for_each_utf8_char(text, [&](Utf8Char c) { append_utf8(out, c.code_point); });
    return out;
}

}  // namespace devctl::cli
