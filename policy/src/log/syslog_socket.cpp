#include "log/syslog_socket.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>

#include <cstring>

#include "error/chained_error.h"
#include "fs/write_all.h"

namespace devctl {
namespace {

// 0 or errno.
int connect_as(const std::string& path, int type, UniqueFd& out) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return ENAMETOOLONG;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    UniqueFd fd(::socket(AF_UNIX, type | SOCK_CLOEXEC, 0));
    if (!fd) return errno;
    // A stuck log daemon must not hang the caller for good. Set before the
    // connect: a stream connect to a full backlog waits for the send timeout.
    const timeval limit{5, 0};
    ::setsockopt(fd.get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return errno;
    out = std::move(fd);
    return 0;
}

std::string quoted_attempt(const std::string& path, bool stream, int error) {
    return "\"" + path + (stream ? " (stream)" : "") + ": " + system_error_text(error) + "\"";
}

}  // namespace

Expected<SyslogSocket, std::vector<ConnectAttempt>> connect_syslog(std::span<const char* const> paths) {
    std::vector<ConnectAttempt> attempts;
    for (const char* path : paths) {
        SyslogSocket socket{UniqueFd(), path, false};
        int error = connect_as(socket.path, SOCK_DGRAM, socket.fd);
        if (error == EPROTOTYPE) {
            attempts.push_back({socket.path, false, error});
            socket.stream = true;
            error = connect_as(socket.path, SOCK_STREAM, socket.fd);
        }
        if (error == 0) return socket;
        attempts.push_back({socket.path, socket.stream, error});
        // The bound is spent; the next path could cost another.
        if (timed_out(error)) break;
    }
    return Unexpected(std::move(attempts));
}

int send_log_line(const SyslogSocket& socket, std::string_view line) {
    if (!socket.stream) {
        // One datagram is one message; a short send cannot happen.
        return ::send(socket.fd.get(), line.data(), line.size(), MSG_NOSIGNAL) < 0 ? errno : 0;
    }
    std::string framed(line);
    framed.push_back('\0');
    return write_all(socket.fd.get(), framed, Sink::Socket);
}

std::string describe_connect_failure(const std::vector<ConnectAttempt>& attempts) {
    std::string text = "LogConnectError {\n    attempts: [\n";
    for (const auto& a : attempts) text += "        " + quoted_attempt(a.path, a.stream, a.error) + ",\n";
    text += "    ],\n}";
    return text;
}

std::string describe_send_failure(const std::string& path, bool stream, int error) {
    return "LogSendError {\n    socket: " + quoted_attempt(path, stream, error) + ",\n}";
}

}  // namespace devctl
