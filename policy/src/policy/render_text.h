#pragma once
// Text building blocks of the rule-text writer. Each result is sized once,
// so joining is linear in the output.
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

std::string concat_text(std::initializer_list<std::string_view> parts);

std::string join_texts(const std::vector<std::string>& texts, std::string_view separator);

// Joins the non-empty texts with line feeds, appending to out.
void append_nonempty_lines(std::string& out, const std::vector<std::string>& texts);

// The template with its one marker (for example "{n}") replaced by value.
std::string fill_template(std::string_view line_template, std::string_view marker,
                          std::string_view value);

// Every non-overlapping occurrence of pattern, scanning left to right; text
// is left untouched (and nothing allocated) when there is none.
void replace_all(std::string& text, std::string_view pattern, std::string_view replacement);

}  // namespace devctl
