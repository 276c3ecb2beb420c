#include "fs/write_in_place.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "fs/unique_fd.h"
#include "fs/write_all.h"

namespace devctl {

namespace {

// Devices and FIFOs that keep nothing have nothing to flush.
bool flush_unsupported(int error) {
    return error == EINVAL || error == EROFS;
}

// SIGPIPE held back while the target is written, so that a reader that
// leaves fails the write with EPIPE instead of ending the process. The
// signal that write raised is taken before it is let through again; one
// pending from before is left for whoever held it back.
class SigpipeHeld {
public:
    SigpipeHeld() {
        ::sigemptyset(&pipe_);
        ::sigaddset(&pipe_, SIGPIPE);
        ::pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
        sigset_t pending;
        was_pending_ = ::sigpending(&pending) == 0 && ::sigismember(&pending, SIGPIPE) == 1;
    }
    ~SigpipeHeld() {
        if (!was_pending_) {
            const timespec now{};
            ::sigtimedwait(&pipe_, nullptr, &now);
        }
        ::pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    SigpipeHeld(const SigpipeHeld&) = delete;
    SigpipeHeld& operator=(const SigpipeHeld&) = delete;

private:
    sigset_t pipe_;
    sigset_t old_;
    bool was_pending_ = false;
};

// "60", or "0.25" for a limit that is not whole seconds.
std::string seconds_text(std::chrono::milliseconds limit) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, static_cast<double>(limit.count()) / 1000).ptr;
    return std::string(text, end);
}

}  // namespace

bool is_written_in_place(const struct stat& st) {
    return !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

std::optional<Status> write_in_place(const std::string& path, const FillFile& fill, std::chrono::milliseconds limit) {
    const SigpipeHeld held;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // Non-blocking from the open on: the writes wait in poll(), with an end.
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) return fail(system_error(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return fail(system_error(errno));
    if (!is_written_in_place(st)) return std::nullopt;
    FileOutput out(fd.get(), deadline);
    if (Status filled = fill(out); !filled) return filled;
    int e = out.finish();
    if (e == kWriteTimedOut) {
        return fail(make_error("timed out after " + seconds_text(limit) + " s writing into a device or FIFO"));
    }
    if (e == 0 && ::fsync(fd.get()) != 0 && !flush_unsupported(errno)) e = errno;
    if (e == 0) e = fd.reset();
    if (e != 0) return fail(system_error(e));
    return Status{};
}

}  // namespace devctl
