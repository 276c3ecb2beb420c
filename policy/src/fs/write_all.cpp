#include "fs/write_all.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace devctl {

int write_all(int fd, std::string_view data, Sink sink) {
    while (!data.empty()) {
        const ssize_t n = sink == Sink::Socket ? ::send(fd, data.data(), data.size(), MSG_NOSIGNAL)
                                               : ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

int write_all_by(int fd, std::string_view data, std::chrono::steady_clock::time_point deadline) {
    using std::chrono::milliseconds;
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n >= 0) {
            data.remove_prefix(static_cast<size_t>(n));
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN) return errno;
        const auto left = std::chrono::ceil<milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left <= milliseconds::zero()) return kWriteTimedOut;
        // A reader that left shows as an error here; the next write says which.
        pollfd ready{fd, POLLOUT, 0};
        if (::poll(&ready, 1, static_cast<int>(std::min<milliseconds::rep>(left.count(), INT_MAX))) < 0 &&
            errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

}  // namespace devctl
