#include "log/log_line.h"

#include <array>
#include <cstdio>

namespace devctl {

int log_priority(LogLevel level) {
    // The levels count up from Debug (severity 7) to Error (severity 3).
    return (5 << 3) | (7 - static_cast<int>(level));
}

std::string log_stamp(const std::tm& local) {
    static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int month = local.tm_mon >= 0 && local.tm_mon < 12 ? local.tm_mon : 0;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%s %02d %02d:%02d:%02d", kMonths[month], local.tm_mday % 100,
                  local.tm_hour % 100, local.tm_min % 100, local.tm_sec % 100);
    return stamp;
}

std::string format_log_line(LogLevel level, const std::tm& local, long pid, std::string_view message) {
    std::string line = "<" + std::to_string(log_priority(level)) + ">" + log_stamp(local) + " ";
    line += kLogTag;
    line += "[" + std::to_string(pid) + "]: ";
    line += message;
    return line;
}

}  // namespace devctl
