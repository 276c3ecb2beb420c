#include "fs/write_in_place.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "fs/unique_fd.h"

namespace devctl {

namespace {

// Devices and FIFOs that keep nothing have nothing to flush.
bool flush_unsupported(int error) {
    return error == EINVAL || error == EROFS;
}

int clear_nonblocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return errno;
    return 0;
}

}  // namespace

bool is_written_in_place(const struct stat& st) {
    return !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

std::optional<Status> write_in_place(const std::string& path, const FillFile& fill) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) return fail(system_error(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return fail(system_error(errno));
    if (!is_written_in_place(st)) return std::nullopt;
    // Once open, writes wait for a slow reader like any plain write would.
    if (const int e = clear_nonblocking(fd.get()); e != 0) return fail(system_error(e));
    FileOutput out(fd.get());
    if (Status filled = fill(out); !filled) return filled;
    int e = out.finish();
    if (e == 0 && ::fsync(fd.get()) != 0 && !flush_unsupported(errno)) e = errno;
    if (e == 0) e = fd.reset();
    if (e != 0) return fail(system_error(e));
    return Status{};
}

}  // namespace devctl
