#include "policy/thirdlib/module_status.h"

#include <charconv>

#include "fs/file_read.h"

namespace devctl {

int32_t parse_module_status(std::string_view text) {
    // from_chars takes a leading '-' but no '+'; a '+' must be followed by a digit.
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.empty() || text.front() < '0' || text.front() > '9') return 0;
    }
    int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (ec != std::errc{} || end != text.data() + text.size()) return 0;
    return value;
}

int32_t read_module_status() {
    if (!file_exists(kModuleStatusPath)) return 0;
    auto text = read_file(kModuleStatusPath);
    // Anything that is not plain ASCII digits fails the parse, so bytes that
    // are not UTF-8 need no check of their own.
    return text ? parse_module_status(*text) : 0;
}

}  // namespace devctl
