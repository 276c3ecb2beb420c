#pragma once
// Unbuffered writing of whole byte ranges to a descriptor.
#include <string_view>

namespace devctl {

enum class Sink { File, Socket };

// Writes all of data, retrying after interruptions and short writes; 0 or
// errno. On a socket a vanished peer gives EPIPE instead of a signal.
int write_all(int fd, std::string_view data, Sink sink = Sink::File);

}  // namespace devctl
