#pragma once
// A connection to the local log daemon over its Unix socket.
#include <cerrno>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "error/expected.h"
#include "fs/unique_fd.h"

namespace devctl {

inline constexpr const char* kSyslogPaths[] = {"/dev/log", "/var/run/syslog", "/var/run/log"};

struct SyslogSocket {
    UniqueFd fd;
    std::string path;
    bool stream = false;  // each stream message ends with one NUL byte
};

// One failed try: the path, whether it was the stream retry, and errno.
struct ConnectAttempt {
    std::string path;
    bool stream = false;
    int error = 0;
};

// Connects and sends give up after 5 s with EAGAIN.
inline bool timed_out(int error) { return error == EAGAIN; }

// Tries each path in order, datagram first and stream where the endpoint
// refuses datagrams; stops at the first attempt that timed out.
Expected<SyslogSocket, std::vector<ConnectAttempt>> connect_syslog(
    std::span<const char* const> paths = kSyslogPaths);

// 0 or errno.
int send_log_line(const SyslogSocket& socket, std::string_view line);

// The multi-line reports written after "err: " on standard error.
std::string describe_connect_failure(const std::vector<ConnectAttempt>& attempts);
// A send failure, or a connect that timed out, names the one socket it hit.
std::string describe_send_failure(const std::string& path, bool stream, int error);

}  // namespace devctl
