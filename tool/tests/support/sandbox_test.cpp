// The sandbox itself: isolation from the host, reset, running programs, log sinks.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "sandbox.h"

namespace devctl::test {
namespace {

// The parent process is still in the host's mount namespace.
std::string host_view(const std::string& path) {
    return "/proc/" + std::to_string(::getppid()) + "/root" + path;
}

void send_to(const std::string& path, int type, std::string_view bytes) {
    const int fd = ::socket(AF_UNIX, type, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
    ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

class Sandbox : public testing::Test {
protected:
    void SetUp() override { reset_sandbox(); }
};

TEST_F(Sandbox, WritesStayInsideAndResetClearsThem) {
    const std::vector<std::string> paths = {"/etc/.productinfo", "/etc/orvex-scene/config.json",
                                            "/usr/lib/x86_64-linux-gnu/libdevctl-sandbox-probe.so.0",
                                            "/sys/kernel/security/quel/status"};
    ASSERT_TRUE(path_exists(host_view("/etc/passwd"))) << "no view of the host";
    for (const auto& path : paths) {
        write_test_file(path, "probe");
        EXPECT_EQ(read_test_file(path), "probe");
        EXPECT_FALSE(path_exists(host_view(path))) << path << " leaked to the host";
    }
    LogSink sink("/dev/log");
    EXPECT_FALSE(path_exists(host_view("/dev/log")));

    reset_sandbox();
    for (const auto& path : paths) EXPECT_FALSE(path_exists(path)) << path;
    EXPECT_FALSE(path_exists("/dev/log"));
    EXPECT_EQ(file_mode("/etc/orvex-scene"), 0755u);
    EXPECT_EQ(file_mode("/etc"), 0755u);
    EXPECT_EQ(file_owner("/etc"), 0u);
    EXPECT_TRUE(path_exists("/etc/passwd"));
    EXPECT_TRUE(path_exists("/dev/pts/ptmx"));
}

TEST_F(Sandbox, RunsProgramsWithCleanEnvironmentAndCapturesOutput) {
    struct Case {
        std::string script;
        RunOptions options;
        int status;
        std::string out, err;
    };
    RunOptions nobody;
    nobody.who = RunAs::Nobody;
    RunOptions fed;
    fed.input = "fed\n";
    fed.env = {"EXTRA=1"};
    const Case cases[] = {
        {"echo out; echo err >&2; exit 3", {}, 3, "out\n", "err\n"},
        {"id -u; id -g; id -G", nobody, 0, "65534\n65534\n65534\n", ""},
        {"cat; printenv EXTRA; echo x > /dev/null", fed, 0, "fed\n1\n", ""},
        {"printenv HOME USER", {}, 1, "", ""},
    };
    for (const auto& c : cases) {
        const ToolResult r = run_program("/bin/sh", {"-c", c.script}, c.options);
        EXPECT_EQ(r.status, c.status) << c.script;
        EXPECT_EQ(r.out, c.out) << c.script;
        EXPECT_EQ(r.err, c.err) << c.script;
    }
}

TEST_F(Sandbox, KillsProgramsThatOverrunTheirTime) {
    RunOptions quick;
    quick.timeout = std::chrono::milliseconds(200);
    const ToolResult r = run_program("/bin/sleep", {"10"}, quick);
    EXPECT_TRUE(r.timed_out);
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.signal, SIGKILL);
}

TEST_F(Sandbox, LogSinksCollectDatagramsAndNulSeparatedStreams) {
    LogSink datagrams("/run/syslog");
    send_to("/run/syslog", SOCK_DGRAM, "one");
    send_to("/var/run/syslog", SOCK_DGRAM, std::string("two\0", 4));
    EXPECT_EQ(datagrams.messages(2), (std::vector<std::string>{"one", std::string("two\0", 4)}));

    LogSink stream("/var/run/log", LogSink::Kind::Stream);
    send_to("/run/log", SOCK_STREAM, std::string("a\0b\0", 4));
    send_to("/run/log", SOCK_STREAM, "tail");
    EXPECT_EQ(stream.messages(3), (std::vector<std::string>{"a", "b", "tail"}));
    EXPECT_EQ(stream.stream_bytes(), std::string("a\0b\0tail", 8));
    EXPECT_EQ(file_mode("/run/log"), 0666u);
}

TEST(LogLineParse, SplitsTheFieldsOfOneLine) {
    const auto line = parse_log_line("<46>Dec 09 05:07:01 scene-devctl-plugin[42]: a: b\nc");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->priority, 46);
    EXPECT_EQ(line->stamp, "Dec 09 05:07:01");
    EXPECT_EQ(line->tag, "scene-devctl-plugin");
    EXPECT_EQ(line->pid, 42);
    EXPECT_EQ(line->text, "a: b\nc");
    for (const char* bad : {"", "46>Dec 09 05:07:01 t[1]: x", "<x>Dec 09 05:07:01 t[1]: x",
                            "<46>Dec 09 05:07:01 t: x", "<46>short t[1]: x"}) {
        EXPECT_FALSE(parse_log_line(bad)) << bad;
    }
}

}  // namespace
}  // namespace devctl::test
