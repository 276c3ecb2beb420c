#include "cmd/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "fs/write_all.h"

namespace devctl {
namespace {

bool printed_anything = false;

ChainedError stdout_error(int errno_value) {
    return with_context(system_error(errno_value), "failed to write to standard output");
}

}  // namespace

void occupy_closed_standard_fds() {
    // Lowest descriptors first: open() then returns exactly the one missing.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int null_fd = ::open("/dev/null", O_RDONLY);
        if (null_fd >= 0 && null_fd != fd) ::close(null_fd);
    }
}

Status print_stdout(std::string_view text) {
    printed_anything |= !text.empty();
    if (int error = write_all(STDOUT_FILENO, text)) return fail(stdout_error(error));
    return {};
}

Status close_stdout() {
    // The platform libraries print through stdio: what they left buffered
    // must go out before the descriptor is closed, and a failure to write it
    // (EBADF included) loses output like any other. A write that failed
    // earlier leaves only stdio's error flag, not its errno.
    const bool flushed = std::fflush(stdout) == 0;
    const int flush_error = flushed ? EIO : errno;
    if (!flushed || std::ferror(stdout)) return fail(stdout_error(flush_error));
    std::fflush(nullptr);
    if (::close(STDOUT_FILENO) == 0) return {};
    const int error = errno;
    if (error == EBADF && !printed_anything) return {};
    return fail(stdout_error(error));
}

void print_error_chain(const ChainedError& error) {
    write_all(STDERR_FILENO, chain_form(error) + "\n");
}

}  // namespace devctl
