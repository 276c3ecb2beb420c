#include "text/escaped_text.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdio>

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
    char bytes[U8_MAX_LENGTH];
    int32_t length = 0;
    U8_APPEND_UNSAFE(bytes, length, c);
    out.append(bytes, static_cast<size_t>(length));
}

}  // namespace

std::string escaped_text(std::string_view text) {
    std::string out = "\"";
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto size = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < size;) {
        UChar32 c;
        U8_NEXT(bytes, i, size, c);
        append_escaped(out, c < 0 ? 0xFFFD : c);
    }
    return out + "\"";
}

}  // namespace devctl
