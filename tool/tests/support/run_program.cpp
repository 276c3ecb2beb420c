// Runs a program as root or as nobody, with a clean environment and a time limit.
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "sandbox.h"

namespace devctl::test {
namespace {

constexpr uid_t kNobody = 65534;

// Sanitizer settings pass through so the sanitizer build checks the child too.
constexpr std::array kInherited = {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"};

std::vector<std::string> clean_environment(const RunOptions& options) {
    std::vector<std::string> env = {"PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"};
    for (const char* name : kInherited) {
        if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
    }
    env.insert(env.end(), options.env.begin(), options.env.end());
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
        read = fds[0];
        write = fds[1];
    }
};

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// In the forked child: only async-signal-safe calls from here on.
// Standard output other than the pipe; 0 or errno.
int redirect_stdout(StdoutTo where) {
    if (where == StdoutTo::Closed) return ::close(1) == 0 ? 0 : errno;
    if (where != StdoutTo::DevFull) return 0;
    const int full = ::open("/dev/full", O_WRONLY);
    if (full < 0 || ::dup2(full, 1) < 0) return errno;
    ::close(full);
    return 0;
}

[[noreturn]] void exec_child(const Pipe& in, const Pipe& out, const Pipe& err, const Pipe& report,
                             const RunOptions& options, const char* program, char** argv, char** envp) {
    int code = 0;
    if (::dup2(in.read, 0) < 0 || ::dup2(out.write, 1) < 0 || ::dup2(err.write, 2) < 0) code = errno;
    if (code == 0) code = redirect_stdout(options.stdout_to);
    const rlimit address_space{options.address_space_limit, options.address_space_limit};
    if (code == 0 && options.address_space_limit != RLIM_INFINITY && ::setrlimit(RLIMIT_AS, &address_space) != 0) {
        code = errno;
    }
    // As from a shell: the parent's own SIGPIPE setting is not the program's.
    if (code == 0 && ::signal(SIGPIPE, SIG_DFL) == SIG_ERR) code = errno;
    if (code == 0 && options.who == RunAs::Nobody) code = become_nobody();
    if (code == 0) {
        ::execve(program, argv, envp);
        code = errno;
    }
    [[maybe_unused]] ssize_t ignored = ::write(report.write, &code, sizeof code);
    ::_exit(127);
}

// Feeds stdin and collects stdout and stderr until both close or time runs out.
bool pump(int& in, int& out, int& err, std::string_view input, ToolResult& result,
          std::chrono::steady_clock::time_point deadline) {
    size_t written = 0;
    if (input.empty()) close_fd(in);
    while (out >= 0 || err >= 0) {
        std::array<pollfd, 3> fds = {pollfd{in, POLLOUT, 0}, pollfd{out, POLLIN, 0}, pollfd{err, POLLIN, 0}};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) throw std::runtime_error("poll failed");
        if (in >= 0 && fds[0].revents != 0) {
            const ssize_t n = ::write(in, input.data() + written, input.size() - written);
            if (n > 0) written += static_cast<size_t>(n);
            if (n < 0 || written == input.size()) close_fd(in);
        }
        for (auto [index, fd, sink] : {std::tuple{1, &out, &result.out}, std::tuple{2, &err, &result.err}}) {
            if (*fd < 0 || fds[index].revents == 0) continue;
            char buffer[65536];
            const ssize_t n = ::read(*fd, buffer, sizeof buffer);
            if (n > 0) sink->append(buffer, static_cast<size_t>(n));
            else if (n == 0 || errno != EINTR) close_fd(*fd);
        }
    }
    return true;
}

}  // namespace

int become_nobody() {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) return errno;
    return 0;
}

ToolResult run_program(const std::string& program, const std::vector<std::string>& args,
                       const RunOptions& options) {
    if (!in_sandbox()) throw std::runtime_error("refusing to run " + program + " outside the sandbox");
    std::vector<std::string> argv_strings = {program.substr(program.rfind('/') + 1)};
    argv_strings.insert(argv_strings.end(), args.begin(), args.end());
    std::vector<std::string> env_strings = clean_environment(options);
    std::vector<char*> argv = pointers(argv_strings);
    std::vector<char*> envp = pointers(env_strings);

    Pipe in, out, err, report;
    ::signal(SIGPIPE, SIG_IGN);  // the child may close its stdin early
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) exec_child(in, out, err, report, options, program.c_str(), argv.data(), envp.data());

    close_fd(in.read);
    close_fd(out.write);
    close_fd(err.write);
    close_fd(report.write);
    ToolResult result;
    const auto deadline = std::chrono::steady_clock::now() + options.timeout;
    if (!pump(in.write, out.read, err.read, options.input, result, deadline)) {
        result.timed_out = true;
        ::kill(pid, SIGKILL);
    }
    close_fd(in.write);
    close_fd(out.read);
    close_fd(err.read);

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    int exec_error = 0;
    const bool exec_failed = ::read(report.read, &exec_error, sizeof exec_error) == sizeof exec_error;
    close_fd(report.read);
    if (exec_failed) {
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(exec_error));
    }
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

}  // namespace devctl::test
