#pragma once
// The RFC 3164 line handed to the log daemon.
#include <ctime>
#include <string>
#include <string_view>

#include "log/log.h"

namespace devctl {

inline constexpr std::string_view kLogTag = "scene-devctl-plugin";

// Facility LOG_SYSLOG (5) times 8 plus the level's severity.
int log_priority(LogLevel level);

// "Mmm dd hh:mm:ss": English month, zero-padded day, whatever the locale.
std::string log_stamp(const std::tm& local);

// "<PRI>stamp scene-devctl-plugin[pid]: message", the message unchanged.
std::string format_log_line(LogLevel level, const std::tm& local, long pid, std::string_view message);

}  // namespace devctl
