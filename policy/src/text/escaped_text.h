#pragma once
// A text as it is quoted in diagnostics: between double quotes, with
// everything invisible or combining written as an escape, so the message
// shows exactly what was given.
#include <string>
#include <string_view>

namespace devctl {

// "\"a\\\"b\"": quotes, backslash escapes, \t \r \n \0, and \u{hex} for
// combining marks, controls, format, surrogate, private-use, unassigned
// and separator characters other than the space. An invalid UTF-8 byte is
// shown as U+FFFD.
std::string escaped_text(std::string_view text);

}  // namespace devctl
