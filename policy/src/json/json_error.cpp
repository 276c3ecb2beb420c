#include "json/json_error.h"

namespace devctl {

std::string to_string(const JsonError& error) {
    std::string out = error.message;
    out += " at line ";
    out += std::to_string(error.line);
    out += " column ";
    out += std::to_string(error.column);
    return out;
}

}  // namespace devctl
