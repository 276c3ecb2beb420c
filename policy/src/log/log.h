#pragma once
// The system-log logger: one RFC 3164 message per call over the local socket.
#include <string_view>

namespace devctl {

enum class LogLevel { Debug = 0, Info = 1, Notice = 2, Warning = 3, Error = 4 };

// Never fails towards the caller; without a connection it prints "err: ..."
// on standard error and drops the message. Once a connect or send has timed
// out, every later message of the process is dropped without a word.
void log_message(LogLevel level, std::string_view message);
void log_info(std::string_view message);

}  // namespace devctl
