// The helper of bench/process/run.
//   process_bench doc FILE MIB
//       writes the generated vop_defender policy document of about MIB MiB
//   process_bench run LOG_SOCKET PROGRAM [ARG...]
//       binds a datagram log socket at LOG_SOCKET and drains it while PROGRAM
//       runs (its standard output goes to standard error), then prints
//       "wall_us user_us sys_us peak_kib status" from the child's wait4
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "policy_generator.h"

namespace {

int write_document(const char* path, const char* mib) {
    const size_t bytes = std::stoul(mib) << 20;
    const std::string text =
        devctl::serialize_policy(devctl::bench::generate_policy(devctl::bench::shape_for_size(bytes)));
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return out ? 0 : 1;
}

int fail(const char* what) {
    std::fprintf(stderr, "process_bench: %s: %s\n", what, std::strerror(errno));
    return 1;
}

// The log daemon's kernel queue holds only a few datagrams: unread, a
// chatty run would block in send() and be timed waiting for us.
int bind_log_socket(const char* path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::strlen(path) >= sizeof address.sun_path) return -1;
    std::strcpy(address.sun_path, path);
    ::unlink(path);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void drain(int fd) {
    char message[8192];
    while (::recv(fd, message, sizeof message, 0) >= 0) {
    }
}

long micros(const timeval& t) { return t.tv_sec * 1000000L + t.tv_usec; }

int run(const char* log_path, char** argv) {
    const int log = bind_log_socket(log_path);
    if (log < 0) return fail(log_path);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) return fail("fork");
    if (pid == 0) {
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        ::execv(argv[0], argv);
        std::perror(argv[0]);
        ::_exit(127);
    }
    // glibc 2.36's <sys/pidfd.h> declares pidfd_open without C linkage.
    const int exited = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (exited < 0) return fail("pidfd_open");
    pollfd fds[] = {{log, POLLIN, 0}, {exited, POLLIN, 0}};
    while (!(fds[1].revents & POLLIN)) {
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) return fail("poll");
        if (fds[0].revents & POLLIN) drain(log);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid) return fail("wait4");
    const auto wall = std::chrono::steady_clock::now() - start;
    drain(log);
    ::close(log);
    ::unlink(log_path);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("%ld %ld %ld %ld %d\n",
                static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(wall).count()),
                micros(usage.ru_utime), micros(usage.ru_stime), usage.ru_maxrss, code);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "doc" && argc == 4) return write_document(argv[2], argv[3]);
    if (mode == "run" && argc >= 4) return run(argv[2], argv + 3);
    std::fprintf(stderr, "usage: process_bench doc FILE MIB | run LOG_SOCKET PROGRAM [ARG...]\n");
    return 2;
}
