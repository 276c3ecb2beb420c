#pragma once
// Unbuffered writing of whole byte ranges to a descriptor.
#include <chrono>
#include <string_view>

namespace devctl {

enum class Sink { File, Socket };

// Writes all of data, retrying after interruptions and short writes; 0 or
// errno. On a socket a vanished peer gives EPIPE instead of a signal.
int write_all(int fd, std::string_view data, Sink sink = Sink::File);

// What write_all_by() returns when its time is up.
inline constexpr int kWriteTimedOut = -1;

// As write_all() on a non-blocking descriptor: while it takes nothing, waits
// for it to take more, but not past deadline; 0, errno or kWriteTimedOut.
int write_all_by(int fd, std::string_view data, std::chrono::steady_clock::time_point deadline);

}  // namespace devctl
