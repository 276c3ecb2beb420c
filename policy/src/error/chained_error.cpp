#include "error/chained_error.h"

#include <cstdio>
#include <cstring>

namespace devctl {

ChainedError make_error(std::string message) {
    return ChainedError{{std::move(message)}};
}

ChainedError with_context(ChainedError error, std::string message) {
    error.messages.insert(error.messages.begin(), std::move(message));
    return error;
}

std::string system_error_text(int errno_value) {
    char buffer[256];
    // GNU strerror_r may return a static string instead of filling buffer.
    const char* text = strerror_r(errno_value, buffer, sizeof buffer);
    return std::string(text) + " (os error " + std::to_string(errno_value) + ")";
}

ChainedError system_error(int errno_value) {
    return make_error(system_error_text(errno_value));
}

std::string chain_form(const ChainedError& error) {
    std::string out;
    for (size_t i = 0; i < error.messages.size(); ++i) {
        if (i != 0) out += ": ";
        out += error.messages[i];
    }
    return out;
}

namespace {

void append_indented(std::string& out, std::string_view message, std::string_view indent) {
    for (char c : message) {
        out += c;
        if (c == '\n') out.append(indent);
    }
}

}  // namespace

std::string report_form(const ChainedError& error) {
    std::string out = error.messages.empty() ? std::string() : error.messages.front();
    const size_t causes = error.messages.empty() ? 0 : error.messages.size() - 1;
    if (causes == 0) return out;
    out += "\n\nCaused by:";
    if (causes == 1) {
        out += "\n    ";
        append_indented(out, error.messages[1], "    ");
        return out;
    }
    for (size_t i = 0; i < causes; ++i) {
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "\n%5zu: ", i);
        out += prefix;
        append_indented(out, error.messages[i + 1], "       ");
    }
    return out;
}

}  // namespace devctl
