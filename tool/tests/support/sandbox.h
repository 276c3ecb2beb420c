#pragma once
// End-to-end test sandbox: the real tool binary runs with its fixed paths, and
// nothing on the host changes.
//
// enter_sandbox() moves the process into a private mount namespace where /etc,
// /usr/lib/x86_64-linux-gnu, /usr/lib64 and /dev are writable overlays over the
// real directories, /sys/kernel/security is an empty tmpfs and /run (so also
// /var/run) is an empty tmpfs. Everything written there vanishes with the process.
//
// Usage, in a tool/tests/<dir>/CMakeLists.txt:
//   add_executable(tool_e2e_x x_test.cpp)
//   target_link_libraries(tool_e2e_x PRIVATE devctl_e2e_main)
//   gtest_discover_tests(tool_e2e_x DISCOVERY_MODE PRE_TEST)
// The support library defines DEVCTL_TOOL_PATH (the built tool) for run_tool().
// devctl_e2e_main supplies main(): it enters the sandbox before GoogleTest and
// any thread start; if that fails, all tests are skipped, or fail when CI=true.
// In a test: reset_sandbox() in SetUp, write_test_file("/etc/orvex-scene/
// config.json", ...), LogSink sink; (binds /dev/log), auto r = run_tool({"config",
// "get", "--..."}); then compare r.status, r.out, r.err and sink.messages(1).
#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace devctl::test {

// Enters the sandbox; nullopt on success, otherwise why it could not be made.
// Call once, single-threaded, at the start of main(). A second call is a no-op.
std::optional<std::string> enter_sandbox();
bool in_sandbox();

// Back to a fresh sandbox: fresh overlays and security tmpfs (so no
// /etc/.productinfo, test libraries, quel/status or /dev/log), no
// /run/syslog, /run/log or run lock file, and /etc/orvex-scene present and
// empty (0755).
void reset_sandbox();

// File helpers. They throw std::runtime_error (a failed test) on any error;
// the writing ones refuse to run outside the sandbox. Parent directories of a
// written file are created.
void write_test_file(const std::string& path, std::string_view bytes, mode_t mode = 0644);
void install_test_file(const std::string& source, const std::string& path, mode_t mode = 0755);
void remove_test_path(const std::string& path);  // recursive; absent is fine
std::string read_test_file(const std::string& path);
bool path_exists(const std::string& path);  // without following a last symlink
mode_t file_mode(const std::string& path);  // permission bits (07777)
uid_t file_owner(const std::string& path);

// The lock every writing run of the tool holds.
inline const std::string kRunLockFile = "/run/orvex2-devctl-module-tool.lock";

// Holds the run lock as another run would (creating its file, 0600, where
// missing) until released or destroyed.
class HeldRunLock {
public:
    HeldRunLock();
    ~HeldRunLock() { release(); }
    HeldRunLock(const HeldRunLock&) = delete;
    HeldRunLock& operator=(const HeldRunLock&) = delete;
    void release();

private:
    int fd_ = -1;
};

enum class RunAs { Root, Nobody };  // Nobody: uid and gid 65534, no groups

// In a forked child: turns the process into nobody; 0 or errno.
// Async-signal-safe.
int become_nobody();

// Where the program's standard output goes: collected into ToolResult::out,
// /dev/full (every write fails with ENOSPC), or nowhere (descriptor 1 closed).
enum class StdoutTo { Collected, DevFull, Closed };

struct RunOptions {
    RunAs who = RunAs::Root;
    std::vector<std::string> env;  // extra "NAME=value" entries
    std::string input;             // standard input (then end of file)
    std::chrono::milliseconds timeout{30000};
    StdoutTo stdout_to = StdoutTo::Collected;
    rlim_t address_space_limit = RLIM_INFINITY;  // RLIMIT_AS of the program, in bytes
};

struct ToolResult {
    int status = -1;         // exit status; -1 when killed by a signal
    int signal = 0;          // the signal that ended it, if any
    bool timed_out = false;  // killed after RunOptions::timeout
    std::string out;         // standard output bytes
    std::string err;         // standard error bytes
};

// Runs program with argv[0] = its file name and the given arguments in a clean
// environment (PATH, sanitizer options, then RunOptions::env).
ToolResult run_program(const std::string& program, const std::vector<std::string>& args,
                       const RunOptions& options = {});

inline ToolResult run_tool(std::vector<std::string> args, const RunOptions& options) {
    return run_program(DEVCTL_TOOL_PATH, args, options);
}
inline ToolResult run_tool(std::vector<std::string> args, RunAs who = RunAs::Root) {
    RunOptions options;
    options.who = who;
    return run_tool(std::move(args), options);
}

// A log daemon stand-in: binds a Unix socket (0666) at path, collects what
// arrives on a background thread, and removes the socket when destroyed.
// Datagram: one message per datagram. Stream: every connection's bytes split
// on NUL; bytes after the last NUL of a connection count as one more message.
class LogSink {
public:
    enum class Kind { Datagram, Stream };
    explicit LogSink(std::string path = "/dev/log", Kind kind = Kind::Datagram);
    ~LogSink();
    LogSink(const LogSink&) = delete;
    LogSink& operator=(const LogSink&) = delete;

    // The messages received so far, waiting up to timeout for at least `count`.
    std::vector<std::string> messages(std::size_t count = 0,
                                      std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Stream only: all bytes received, connections one after the other.
    std::string stream_bytes();
    const std::string& path() const { return path_; }

private:
    void serve(std::stop_token stop);
    void add(std::string message);

    std::string path_;
    Kind kind_;
    int socket_ = -1;
    int wake_ = -1;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::string> messages_;
    std::string stream_bytes_;
    std::jthread thread_;
};

// One RFC 3164 line as the tool sends it: "<PRI>Mmm dd hh:mm:ss tag[pid]: text".
struct LogLine {
    int priority = -1;
    std::string stamp;  // "Mmm dd hh:mm:ss"
    std::string tag;
    long pid = -1;
    std::string text;
};
std::optional<LogLine> parse_log_line(std::string_view raw);

// What the tool writes on standard error for each message it cannot log
// because none of the three log sockets exists.
inline const std::string kNoLogSocketReport =
    "err: LogConnectError {\n"
    "    attempts: [\n"
    "        \"/dev/log: No such file or directory (os error 2)\",\n"
    "        \"/var/run/syslog: No such file or directory (os error 2)\",\n"
    "        \"/var/run/log: No such file or directory (os error 2)\",\n"
    "    ],\n"
    "}\n";

}  // namespace devctl::test
