#pragma once
// Unicode facts about command-line texts: terminal width and code points.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace devctl::cli {

// Columns the text takes on a terminal: wide East Asian characters count
// two, combining marks and controls none.
size_t display_width(std::string_view text);

// Code points of valid UTF-8 text; an invalid byte becomes U+FFFD.
std::vector<char32_t> code_points(std::string_view text);

// The text with each invalid UTF-8 sequence replaced by U+FFFD.
std::string lossy_utf8(std::string_view text);

}  // namespace devctl::cli
