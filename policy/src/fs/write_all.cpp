#include "fs/write_all.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

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

}  // namespace devctl
