#include "nobody_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "sandbox.h"

namespace devctl::test {
namespace {

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

NobodyProcess::NobodyProcess(const std::function<int(NobodyProcess&)>& body) {
    if (!in_sandbox()) throw std::runtime_error("refusing to fork another user outside the sandbox");
    if (::pipe2(to_test_, O_CLOEXEC) != 0 || ::pipe2(to_child_, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    ::signal(SIGPIPE, SIG_IGN);  // a go() to a child that ended fails instead
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        close_fd(to_test_[0]);
        close_fd(to_child_[1]);
        if (become_nobody() != 0) ::_exit(126);
        ::_exit(body(*this));
    }
    close_fd(to_test_[1]);
    close_fd(to_child_[0]);
}

NobodyProcess::~NobodyProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        wait();
    }
    close_fd(to_test_[0]);
}

void NobodyProcess::step() {
    char byte = 's';
    [[maybe_unused]] ssize_t ignored = ::write(to_test_[1], &byte, 1);
    while (::read(to_child_[0], &byte, 1) < 0 && errno == EINTR) {
    }
}

bool NobodyProcess::reached(std::chrono::milliseconds timeout) {
    pollfd ready{to_test_[0], POLLIN, 0};
    char byte = 0;
    return ::poll(&ready, 1, static_cast<int>(timeout.count())) == 1 && ::read(to_test_[0], &byte, 1) == 1;
}

void NobodyProcess::go() {
    const char byte = 'g';
    if (::write(to_child_[1], &byte, 1) != 1) throw std::runtime_error("the other user's process is gone");
}

int NobodyProcess::wait() {
    close_fd(to_child_[1]);
    if (pid_ < 0) return -1;
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

}  // namespace devctl::test
