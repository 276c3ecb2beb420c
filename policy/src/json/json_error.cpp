#include "json/json_error.h"

namespace devctl {

std::string to_string(const JsonError& error) {
    return error.message + " at line " + std::to_string(error.line) + " column " +
           std::to_string(error.column);
}

}  // namespace devctl
