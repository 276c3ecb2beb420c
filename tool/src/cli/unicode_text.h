#pragma once
// Unicode facts about command-line texts: validity and terminal width.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace devctl::cli {

bool is_valid_utf8(std::string_view text);

// Bytes of the first character of non-empty valid UTF-8 text.
size_t first_char_length(std::string_view text);

// Columns the text takes on a terminal: wide East Asian characters count
// two, combining marks and controls none.
size_t display_width(std::string_view text);

// Code points of valid UTF-8 text; an invalid byte becomes U+FFFD.
std::vector<char32_t> code_points(std::string_view text);

// The text with each invalid UTF-8 sequence replaced by U+FFFD.
std::string lossy_utf8(std::string_view text);

}  // namespace devctl::cli
