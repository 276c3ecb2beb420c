// A stand-in log daemon on a Unix socket, and the parser of its lines.
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <map>
#include <stdexcept>

#include "sandbox.h"

namespace devctl::test {

LogSink::LogSink(std::string path, Kind kind) : path_(std::move(path)), kind_(kind) {
    if (!in_sandbox()) throw std::runtime_error("refusing to bind " + path_ + " outside the sandbox");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path) throw std::runtime_error("socket path too long: " + path_);
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    const int type = kind_ == Kind::Datagram ? SOCK_DGRAM : SOCK_STREAM;
    socket_ = ::socket(AF_UNIX, type | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    ::unlink(path_.c_str());
    const bool ok = socket_ >= 0 && wake_ >= 0 &&
                    ::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                    ::chmod(path_.c_str(), 0666) == 0 && (kind_ == Kind::Datagram || ::listen(socket_, 64) == 0);
    if (!ok) {
        const std::string reason = std::strerror(errno);
        if (socket_ >= 0) ::close(socket_);
        if (wake_ >= 0) ::close(wake_);
        throw std::runtime_error("cannot bind log sink at " + path_ + ": " + reason);
    }
    thread_ = std::jthread([this](std::stop_token stop) { serve(stop); });
}

LogSink::~LogSink() {
    thread_.request_stop();
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t ignored = ::write(wake_, &one, sizeof one);
    thread_.join();
    ::close(socket_);
    ::close(wake_);
    ::unlink(path_.c_str());
}

void LogSink::add(std::string message) {
    {
        std::lock_guard lock(mutex_);
        messages_.push_back(std::move(message));
    }
    arrived_.notify_all();
}

void LogSink::serve(std::stop_token stop) {
    std::map<int, std::string> connections;  // stream: bytes after the last NUL
    std::vector<char> buffer(1 << 20);
    while (!stop.stop_requested()) {
        std::vector<pollfd> fds = {{wake_, POLLIN, 0}, {socket_, POLLIN, 0}};
        for (const auto& [fd, pending] : connections) fds.push_back({fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) continue;
        if (fds[1].revents != 0 && kind_ == Kind::Datagram) {
            ssize_t n;
            while ((n = ::recv(socket_, buffer.data(), buffer.size(), 0)) >= 0) {
                add(std::string(buffer.data(), static_cast<size_t>(n)));
            }
        } else if (fds[1].revents != 0) {
            int fd;
            while ((fd = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0) {
                connections[fd];
            }
        }
        for (size_t i = 2; i < fds.size(); ++i) {
            if (fds[i].revents == 0) continue;
            std::string& pending = connections[fds[i].fd];
            const ssize_t n = ::recv(fds[i].fd, buffer.data(), buffer.size(), 0);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n > 0) {
                {
                    std::lock_guard lock(mutex_);
                    stream_bytes_.append(buffer.data(), static_cast<size_t>(n));
                }
                pending.append(buffer.data(), static_cast<size_t>(n));
                for (size_t nul; (nul = pending.find('\0')) != std::string::npos;) {
                    add(pending.substr(0, nul));
                    pending.erase(0, nul + 1);
                }
                continue;
            }
            if (!pending.empty()) add(pending);
            ::close(fds[i].fd);
            connections.erase(fds[i].fd);
        }
    }
    for (const auto& [fd, pending] : connections) ::close(fd);
}

std::vector<std::string> LogSink::messages(std::size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, timeout, [&] { return messages_.size() >= count; });
    return messages_;
}

std::string LogSink::stream_bytes() {
    std::lock_guard lock(mutex_);
    return stream_bytes_;
}

std::optional<LogLine> parse_log_line(std::string_view raw) {
    LogLine line;
    if (!raw.starts_with('<')) return std::nullopt;
    const size_t close = raw.find('>');
    if (close == std::string_view::npos) return std::nullopt;
    const auto [end, ec] = std::from_chars(raw.data() + 1, raw.data() + close, line.priority);
    if (ec != std::errc() || end != raw.data() + close) return std::nullopt;
    raw.remove_prefix(close + 1);
    constexpr size_t kStamp = 15;  // "Mmm dd hh:mm:ss"
    if (raw.size() < kStamp + 1 || raw[kStamp] != ' ') return std::nullopt;
    line.stamp = raw.substr(0, kStamp);
    raw.remove_prefix(kStamp + 1);
    const size_t open = raw.find('[');
    const size_t shut = raw.find("]: ");
    if (open == std::string_view::npos || shut == std::string_view::npos || shut < open) return std::nullopt;
    line.tag = raw.substr(0, open);
    const auto [pid_end, pid_ec] = std::from_chars(raw.data() + open + 1, raw.data() + shut, line.pid);
    if (pid_ec != std::errc() || pid_end != raw.data() + shut) return std::nullopt;
    line.text = raw.substr(shut + 3);
    return line;
}

}  // namespace devctl::test
