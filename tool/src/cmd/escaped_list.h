#pragma once
// Paths as they appear in log lines: quoted, with everything invisible or
// combining written as an escape, so the line shows exactly what was given.
#include <string>
#include <string_view>
#include <vector>

namespace devctl {

// "\"a\\\"b\"": quotes, backslash escapes, \t \r \n \0, and \u{hex} for
// combining marks, controls, format, surrogate, private-use, unassigned
// and separator characters other than the space.
std::string escaped_text(std::string_view text);

// ["a", "b"], or [] when empty.
std::string escaped_list(const std::vector<std::string>& items);

}  // namespace devctl
