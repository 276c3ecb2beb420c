#include "log/log.h"

#include <unistd.h>

#include <ctime>

#include "log/log_line.h"
#include "log/syslog_socket.h"

namespace devctl {
namespace {

// The one way a logging failure shows: a line on standard error. Nothing
// reaches the caller.
void report_on_stderr(const std::string& description) {
    write_all(STDERR_FILENO, "err: " + description + "\n");
}

}  // namespace

void log_message(LogLevel level, std::string_view message) {
    auto socket = connect_syslog();
    if (!socket) {
        report_on_stderr(describe_connect_failure(socket.error()));
        return;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    const std::string line = format_log_line(level, local, static_cast<long>(::getpid()), message);
    if (int error = send_log_line(*socket, line)) report_on_stderr(describe_send_failure(*socket, error));
}

void log_info(std::string_view message) { log_message(LogLevel::Info, message); }

}  // namespace devctl
