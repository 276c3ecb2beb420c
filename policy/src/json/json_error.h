#pragma once
// A JSON reader error: message, position where reading stopped, category.
#include <cstddef>
#include <string>

namespace devctl {

enum class JsonErrorCategory { Eof, Syntax, Data };

struct JsonError {
    std::string message;  // without the position
    size_t line = 1;      // counted from 1
    size_t column = 0;    // bytes from the start of the line
    JsonErrorCategory category = JsonErrorCategory::Syntax;
};

// message + " at line L column C"
inline std::string to_string(const JsonError& error) {
    return error.message + " at line " + std::to_string(error.line) + " column " +
           std::to_string(error.column);
}

}  // namespace devctl
