// The logger against stand-in log daemons on the three socket paths.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <memory>

#include "log/log.h"
#include "log/log_line.h"
#include "sandbox.h"

namespace devctl {
namespace {

using test::LogSink;

std::string stamp_now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return log_stamp(local);
}

// Standard error of one call, through a memory file.
template <class F>
std::string stderr_of(F&& call) {
    const int capture = ::memfd_create("stderr", MFD_CLOEXEC);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture, STDERR_FILENO);
    call();
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    std::string out(static_cast<size_t>(::lseek(capture, 0, SEEK_END)), '\0');
    ::pread(capture, out.data(), out.size(), 0);
    ::close(capture);
    return out;
}

// A socket file nobody listens on any more: connecting is refused.
void leave_stale_socket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

class Logger : public testing::Test {
protected:
    void SetUp() override { test::reset_sandbox(); }
};

TEST_F(Logger, SendsOneRfc3164DatagramPerMessageAtTheLevelsPriority) {
    LogSink sink("/dev/log");
    const std::string before = stamp_now();
    const std::pair<LogLevel, int> levels[] = {
        {LogLevel::Info, 46}, {LogLevel::Warning, 44}, {LogLevel::Error, 43},
        {LogLevel::Debug, 47}, {LogLevel::Notice, 45},
    };
    std::string err = stderr_of([&] {
        for (const auto& [level, priority] : levels) log_message(level, "line " + std::to_string(priority));
        log_info("two\nlines");
    });
    const std::string after = stamp_now();
    EXPECT_EQ(err, "");

    const auto messages = sink.messages(6);
    ASSERT_EQ(messages.size(), 6u);
    for (size_t i = 0; i < messages.size(); ++i) {
        const auto line = test::parse_log_line(messages[i]);
        ASSERT_TRUE(line) << messages[i];
        EXPECT_EQ(line->tag, "scene-devctl-plugin");
        EXPECT_EQ(line->pid, ::getpid());
        EXPECT_TRUE(line->stamp == before || line->stamp == after) << line->stamp;
        if (i < 5) {
            EXPECT_EQ(line->priority, levels[i].second);
            EXPECT_EQ(line->text, "line " + std::to_string(levels[i].second));
        }
    }
    EXPECT_EQ(test::parse_log_line(messages[5])->priority, 46);
    EXPECT_EQ(test::parse_log_line(messages[5])->text, "two\nlines");
}

TEST_F(Logger, TriesTheThreePathsInOrderAndStreamWhereDatagramsAreRefused) {
    using Kind = LogSink::Kind;
    struct Setup {
        const char* name;
        std::vector<std::pair<std::string, Kind>> sinks;
        std::vector<std::string> stale;
        std::string receiver;  // the sink that must get the message
    };
    const Setup setups[] = {
        {"/dev/log first", {{"/dev/log", Kind::Datagram}, {"/run/syslog", Kind::Datagram}}, {}, "/dev/log"},
        {"/var/run/syslog second", {{"/run/syslog", Kind::Datagram}, {"/run/log", Kind::Datagram}}, {},
         "/run/syslog"},
        {"/var/run/log last", {{"/run/log", Kind::Datagram}}, {}, "/run/log"},
        {"stream at /dev/log", {{"/dev/log", Kind::Stream}, {"/run/syslog", Kind::Datagram}}, {}, "/dev/log"},
        {"refused /dev/log is skipped", {{"/run/log", Kind::Stream}}, {"/dev/log", "/run/syslog"}, "/run/log"},
    };
    for (const auto& setup : setups) {
        SCOPED_TRACE(setup.name);
        test::reset_sandbox();
        for (const auto& path : setup.stale) leave_stale_socket(path);
        std::vector<std::unique_ptr<LogSink>> sinks;
        for (const auto& [path, kind] : setup.sinks) sinks.push_back(std::make_unique<LogSink>(path, kind));

        EXPECT_EQ(stderr_of([] { log_message(LogLevel::Warning, "hello"); }), "");
        for (size_t i = 0; i < sinks.size(); ++i) {
            const bool receiver = setup.sinks[i].first == setup.receiver;
            const auto messages = sinks[i]->messages(receiver ? 1 : 0, std::chrono::milliseconds(receiver ? 5000 : 50));
            ASSERT_EQ(messages.size(), receiver ? 1u : 0u) << setup.sinks[i].first;
            if (!receiver) continue;
            EXPECT_EQ(messages[0].find("<44>"), 0u);
            EXPECT_TRUE(messages[0].ends_with(" scene-devctl-plugin[" + std::to_string(::getpid()) + "]: hello"));
            if (setup.sinks[i].second == Kind::Stream) {
                EXPECT_EQ(sinks[i]->stream_bytes(), messages[0] + '\0');
            }
        }
    }
}

TEST_F(Logger, WithoutAnySocketReportsOnStandardErrorAndDropsTheMessage) {
    const std::string& expected = test::kNoLogSocketReport;
    EXPECT_EQ(stderr_of([] { log_message(LogLevel::Error, "lost"); }), expected);
    EXPECT_EQ(stderr_of([] {
                  log_info("one");
                  log_info("two");
              }),
              expected + expected);

    leave_stale_socket("/dev/log");
    {
        LogSink stream("/run/syslog", LogSink::Kind::Stream);
    }
    const std::string refused = stderr_of([] { log_info("lost"); });
    EXPECT_NE(refused.find("\"/dev/log: Connection refused (os error 111)\",\n"), std::string::npos) << refused;
    EXPECT_NE(refused.find("\"/var/run/log: No such file or directory (os error 2)\",\n"), std::string::npos);
}

}  // namespace
}  // namespace devctl
