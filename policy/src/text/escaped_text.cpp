#include "text/escaped_text.h"

#include <unicode/uchar.h>

#include <cstdio>

#include "text/utf8.h"

namespace devctl {
namespace {

bool needs_unicode_escape(UChar32 c) {
    if (u_hasBinaryProperty(c, UCHAR_GRAPHEME_EXTEND)) return true;
    switch (u_charType(c)) {
        case U_CONTROL_CHAR:
        case U_FORMAT_CHAR:
        case U_SURROGATE:
        case U_PRIVATE_USE_CHAR:
        case U_UNASSIGNED:
        case U_LINE_SEPARATOR:
        case U_PARAGRAPH_SEPARATOR:
            return true;
        case U_SPACE_SEPARATOR:
            return c != ' ';
        default:
            return false;
    }
}

void append_escaped(std::string& out, UChar32 c) {
    switch (c) {
        case '"': out += "\\\""; return;
        case '\\': out += "\\\\"; return;
        case '\t': out += "\\t"; return;
        case '\r': out += "\\r"; return;
        case '\n': out += "\\n"; return;
        case '\0': out += "\\0"; return;
        default: break;
    }
    if (needs_unicode_escape(c)) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "\\u{%x}", static_cast<unsigned>(c));
        out += buffer;
        return;
    }
    append_utf8(out, static_cast<char32_t>(c));
}

}  // namespace

std::string escaped_text(std::string_view text) {
    std::string out = "\"";
    for_each_utf8_char(text, [&](Utf8Char c) { append_escaped(out, static_cast<UChar32>(c.code_point)); });
    return out + "\"";
}

}  // namespace devctl
