#pragma once
// Text building blocks of the rule-text writer. Lines are appended straight
// into the output blocks, each ended by a line feed, so that no line is ever
// a string of its own.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "model/vocabulary.h"
#include "policy/scenes.h"  // the scene names

namespace devctl {

inline std::string_view bool_text(bool value) { return value ? "true" : "false"; }

// An interaction mode as the rule text writes it: its number.
std::string interactive_number(Interactive value);

std::string join_texts(const std::vector<std::string>& texts, std::string_view separator);

// Text kept as pieces of about 1 MiB, each reserved once: appending never
// moves what is already written, so memory is touched once, and only as far
// as the text goes. The text is the pieces in order.
struct TextBlock {
    std::vector<std::string> pieces;
};

// The piece to append the next line to: the last one while it has room for a
// long line, else a new one. A longer line only makes its piece grow.
std::string& room(TextBlock& block);

size_t text_size(const TextBlock& block);

void append_block(std::string& out, const TextBlock& block);

// The parts, then a line feed.
void append_line(std::string& out, std::initializer_list<std::string_view> parts);
void append_line(TextBlock& block, std::initializer_list<std::string_view> parts);

// The template's line with its one marker (for example "{n}") replaced by the
// parts, then a line feed.
void append_filled_line(std::string& out, std::string_view line_template, std::string_view marker,
                        std::initializer_list<std::string_view> parts);

}  // namespace devctl
