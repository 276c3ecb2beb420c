#include "log/log.h"

#include <unistd.h>

#include <atomic>
#include <ctime>

#include "fs/write_all.h"
#include "log/log_line.h"
#include "log/syslog_socket.h"

namespace devctl {
namespace {

// Set by the first timeout: a daemon that stopped accepting or reading costs
// the run one bound, not one per message.
std::atomic<bool> log_gave_up{false};

// The one way a logging failure shows: a line on standard error. Nothing
// reaches the caller.
void report_on_stderr(const std::string& description) {
    write_all(STDERR_FILENO, "err: " + description + "\n");
}

// Only the first timeout is reported; the messages after it go unsaid.
void report_send_failure(const std::string& path, bool stream, int error) {
    if (timed_out(error) && log_gave_up.exchange(true)) return;
    report_on_stderr(describe_send_failure(path, stream, error));
}

}  // namespace

void log_message(LogLevel level, std::string_view message) {
    if (log_gave_up.load()) return;
    auto socket = connect_syslog();
    if (!socket) {
        const auto& attempts = socket.error();
        if (!attempts.empty() && timed_out(attempts.back().error)) {
            report_send_failure(attempts.back().path, attempts.back().stream, attempts.back().error);
        } else {
            report_on_stderr(describe_connect_failure(attempts));
        }
        return;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    const std::string line = format_log_line(level, local, static_cast<long>(::getpid()), message);
    if (int error = send_log_line(*socket, line)) report_send_failure(socket->path, socket->stream, error);
}

void log_info(std::string_view message) { log_message(LogLevel::Info, message); }

}  // namespace devctl
