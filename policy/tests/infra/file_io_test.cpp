// Reading whole files and replacing them atomically, in a scratch directory.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <new>
#include <thread>

#include "fs/file_read.h"
#include "fs/file_replace.h"
#include "fs/unique_fd.h"
#include "fs/write_all.h"
#include "replace_ways.h"
#include "temp_dir.h"

namespace devctl {
namespace {

using testing_support::ReplaceWay;
using testing_support::TempDir;
namespace stdfs = std::filesystem;

struct stat stat_of(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

std::string must_read(const std::string& path) {
    auto content = read_file(path);
    EXPECT_TRUE(content) << path;
    return content ? std::string(content->view()) : std::string();
}

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(old_); }

private:
    mode_t old_;
};

TEST(FileExists, FollowsLinksAndCountsAnyFailureAsAbsent) {
    TempDir dir;
    ASSERT_TRUE(replace_file(dir / "f", "x"));
    stdfs::create_symlink(dir / "f", dir / "link");
    stdfs::create_symlink(dir / "missing", dir / "dangling");
    EXPECT_TRUE(file_exists(dir / "f"));
    EXPECT_TRUE(file_exists(dir / "link"));
    EXPECT_TRUE(file_exists(dir.path()));
    EXPECT_FALSE(file_exists(dir / "dangling"));
    EXPECT_FALSE(file_exists(dir / "missing"));
    EXPECT_FALSE(file_exists(dir / "f/below"));
}

TEST(ReadFile, ReturnsEveryByteOrTheSystemError) {
    TempDir dir;
    std::string big(300000, 'a');
    big[7] = '\0';
    big.back() = '\xff';
    ASSERT_TRUE(replace_file(dir / "big", big));
    EXPECT_EQ(must_read(dir / "big"), big);
    ASSERT_TRUE(replace_file(dir / "empty", ""));
    EXPECT_EQ(must_read(dir / "empty"), "");

    const std::pair<std::string, std::string> failures[] = {
        {dir / "missing", "No such file or directory (os error 2)"},
        {dir.path(), "Is a directory (os error 21)"},
        {dir / "empty/below", "Not a directory (os error 20)"},
    };
    for (const auto& [path, message] : failures) {
        auto content = read_file(path);
        ASSERT_FALSE(content) << path;
        EXPECT_EQ(content.error().messages, (std::vector<std::string>{message})) << path;
    }
}

// A file that claims no size (a FIFO, a /proc file) is read to its real
// end, however far past the first guess that is.
TEST(ReadFile, ReadsOnPastWhatTheFileClaims) {
    TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string sent(1 << 20, '\0');
    for (size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i % 251);
    std::thread writer([&] {
        UniqueFd fd(::open(fifo.c_str(), O_WRONLY | O_CLOEXEC));
        EXPECT_EQ(write_all(fd.get(), sent), 0);
    });
    EXPECT_TRUE(must_read(fifo) == sent);
    writer.join();

    const std::string status = must_read("/proc/self/status");
    EXPECT_TRUE(status.starts_with("Name:\t")) << status;
    EXPECT_TRUE(status.ends_with('\n')) << status;
}

constexpr off_t kBound = off_t{256} << 20;
const std::vector<std::string> kTooLarge = {"file is larger than 256 MiB"};

// What this process has read through system calls so far, in bytes.
long long bytes_read_so_far() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = -1;
    while (io >> key >> value && key != "rchar:") {}
    return value;
}

// A regular file is judged by its size alone: one over the bound is refused
// without a byte read, however long it claims to be.
TEST(ReadFile, RefusesARegularFileOverTheBoundUnread) {
    TempDir dir;
    const std::string path = dir / "sparse";
    ASSERT_TRUE(replace_file(path, ""));
    ASSERT_EQ(::truncate(path.c_str(), kBound + 1), 0);
    const long long before = bytes_read_so_far();
    auto over = read_file(path);
    EXPECT_LT(bytes_read_so_far() - before, 64 << 10);
    ASSERT_FALSE(over);
    EXPECT_EQ(over.error().messages, kTooLarge);

    ASSERT_EQ(::truncate(path.c_str(), kBound), 0);
    auto at_bound = read_file(path);
    ASSERT_TRUE(at_bound);
    EXPECT_EQ(at_bound->view().size(), static_cast<size_t>(kBound));
}

// A stream is read no further than one byte past the bound: the writer
// finds the pipe closed long before it is done.
TEST(ReadFile, RefusesAStreamOverTheBound) {
    TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    constexpr long long kOffered = 320 << 20;
    long long sent = 0;
    const auto old_action = ::signal(SIGPIPE, SIG_IGN);
    std::thread writer([&] {
        UniqueFd fd(::open(fifo.c_str(), O_WRONLY | O_CLOEXEC));
        ::fcntl(fd.get(), F_SETPIPE_SZ, 1 << 20);  // fewer turns, a quicker test
        const std::string chunk(1 << 20, 'x');
        while (sent < kOffered && write_all(fd.get(), chunk) == 0) sent += static_cast<long long>(chunk.size());
    });
    auto content = read_file(fifo);
    writer.join();
    ::signal(SIGPIPE, old_action);
    ASSERT_FALSE(content);
    EXPECT_EQ(content.error().messages, kTooLarge);
    EXPECT_LT(sent, kOffered);
}

class ReplaceFile : public testing::TestWithParam<ReplaceWay> {
protected:
    static Status replace(const std::string& path, std::string_view content) {
        return GetParam().replace(path, content);
    }
};

INSTANTIATE_TEST_SUITE_P(Ways, ReplaceFile, testing_support::replace_ways(), testing_support::way_name);

TEST_P(ReplaceFile, NewFileGetsModeFromUmaskAndLeavesNoTemporary) {
    for (const auto& [mask, mode] : {std::pair<mode_t, mode_t>{022, 0644}, {077, 0600}, {0, 0666}, {027, 0640}}) {
        TempDir dir;
        ScopedUmask scoped(mask);
        ASSERT_TRUE(replace(dir / "config.json", "{}"));
        EXPECT_EQ(stat_of(dir / "config.json").st_mode & 07777, mode) << std::oct << mask;
        EXPECT_EQ(must_read(dir / "config.json"), "{}");
        EXPECT_EQ(dir.names(), (std::set<std::string>{"config.json"}));
    }
}

TEST_P(ReplaceFile, ExistingFileKeepsItsModeWhateverTheUmask) {
    ScopedUmask scoped(022);
    for (mode_t mode : {0600, 0640, 0604, 0777, 02755}) {
        TempDir dir;
        const std::string path = dir / "f";
        ASSERT_TRUE(replace(path, "old content that is longer"));
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(replace(path, "new"));
        EXPECT_EQ(stat_of(path).st_mode & 07777, mode) << std::oct << mode;
        EXPECT_EQ(must_read(path), "new");
        EXPECT_EQ(dir.names(), (std::set<std::string>{"f"}));
    }
}

TEST_P(ReplaceFile, ExistingFileKeepsItsOwner) {
    if (::geteuid() != 0) GTEST_SKIP() << "changing owners needs root";
    TempDir dir;
    const std::string path = dir / "f";
    ASSERT_TRUE(replace(path, "old"));
    ASSERT_EQ(::chown(path.c_str(), 1234, 5678), 0);
    ASSERT_EQ(::chmod(path.c_str(), 04750), 0);
    ASSERT_TRUE(replace(path, "new"));
    const struct stat st = stat_of(path);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 5678u);
    EXPECT_EQ(st.st_mode & 07777, 04750u);  // not cleared by the change of owner
}

TEST_P(ReplaceFile, ReplacesWhatALinkPointsToAndKeepsTheLink) {
    TempDir dir;
    ASSERT_TRUE(replace(dir / "target", "old"));
    stdfs::create_symlink("target", dir / "link");
    ASSERT_TRUE(replace(dir / "link", "new"));
    EXPECT_TRUE(stdfs::is_symlink(dir / "link"));
    EXPECT_EQ(must_read(dir / "target"), "new");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"link", "target"}));

    stdfs::create_symlink("later", dir / "dangling");
    ASSERT_TRUE(replace(dir / "dangling", "created"));
    EXPECT_TRUE(stdfs::is_symlink(dir / "dangling"));
    EXPECT_EQ(must_read(dir / "later"), "created");
}

TEST_P(ReplaceFile, FailsWithTheSystemErrorAndChangesNothing) {
    TempDir dir;
    ASSERT_TRUE(replace(dir / "file", "old"));
    stdfs::create_directory(dir / "sub");
    const std::pair<std::string, std::string> failures[] = {
        {dir / "no-such-dir/config.json", "No such file or directory (os error 2)"},
        {dir / "file/below", "Not a directory (os error 20)"},
        {dir / "sub", "Is a directory (os error 21)"},
    };
    for (const auto& [path, message] : failures) {
        const Status status = replace(path, "new");
        ASSERT_FALSE(status) << path;
        EXPECT_EQ(status.error().messages, (std::vector<std::string>{message})) << path;
    }
    EXPECT_EQ(dir.names(), (std::set<std::string>{"file", "sub"}));
    EXPECT_TRUE(stdfs::is_empty(dir / "sub"));
    EXPECT_EQ(must_read(dir / "file"), "old");
}

// Everything written to a FIFO, read on a thread from before a writer comes
// until the writer is done (or nothing happens for five seconds).
class FifoReader {
public:
    explicit FifoReader(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)), thread_([this] { read_all(); }) {}
    std::string received() {
        thread_.join();
        return received_;
    }

private:
    void read_all() {
        pollfd ready{fd_.get(), POLLIN, 0};
        char buffer[65536];
        while (::poll(&ready, 1, 5000) > 0) {
            const ssize_t n = ::read(fd_.get(), buffer, sizeof buffer);
            if (n == 0) return;
            if (n > 0) received_.append(buffer, static_cast<size_t>(n));
        }
    }

    UniqueFd fd_;
    std::string received_;
    std::jthread thread_;
};

// More than a pipe holds, so the writer has to wait for its reader.
TEST_P(ReplaceFile, FifoTargetIsWrittenInPlace) {
    TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::chmod(fifo.c_str(), 0604), 0);
    stdfs::create_symlink("fifo", dir / "link");
    const struct stat before = stat_of(fifo);
    std::string content(300000, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i % 253);
    FifoReader reader(fifo);
    ASSERT_TRUE(replace(dir / "link", content));
    EXPECT_TRUE(reader.received() == content);
    const struct stat after = stat_of(fifo);
    EXPECT_EQ(after.st_mode, before.st_mode);  // the type included
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"fifo", "link"}));
}

// A FIFO nobody reads fails at once rather than waiting for a reader, and a
// directory fails as ever; both stay as they were.
TEST_P(ReplaceFile, NonRegularTargetsThatTakeNoContentFailAndStay) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    stdfs::create_directory(dir / "sub");
    const std::pair<std::string, std::string> failures[] = {
        {dir / "fifo", "No such device or address (os error 6)"},
        {dir / "sub", "Is a directory (os error 21)"},
    };
    for (const auto& [path, message] : failures) {
        const auto start = std::chrono::steady_clock::now();
        const Status status = replace(path, "new");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << path;
        ASSERT_FALSE(status) << path;
        EXPECT_EQ(status.error().messages, (std::vector<std::string>{message})) << path;
    }
    EXPECT_TRUE(S_ISFIFO(stat_of(dir / "fifo").st_mode));
    EXPECT_TRUE(stdfs::is_empty(dir / "sub"));
    EXPECT_EQ(dir.names(), (std::set<std::string>{"fifo", "sub"}));
}

// Writes text through out, the pieces taking the given sizes in turn.
void write_in_pieces(FileOutput& out, std::string_view text, std::initializer_list<size_t> sizes) {
    for (size_t turn = 0; !text.empty(); ++turn) {
        const std::string_view piece = text.substr(0, sizes.begin()[turn % sizes.size()]);
        out.write(piece);
        text.remove_prefix(piece.size());
    }
}

// Small pieces that fill the buffer many times over, mixed with pieces large
// enough to go past it, land in order.
TEST_P(ReplaceFile, StreamedContentLandsWhole) {
    TempDir dir;
    std::string content(5 << 20, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 4093);
    const Status status = GetParam().fill(dir / "f", [&](FileOutput& out) {
        write_in_pieces(out, content, {1, 4095, 600 << 10, 17, 1 << 20, 300 << 10, 1000});
        return Status{};
    });
    ASSERT_TRUE(status);
    EXPECT_TRUE(must_read(dir / "f") == content);  // a diff of megabytes would say no more
    EXPECT_EQ(dir.names(), (std::set<std::string>{"f"}));
}

TEST_P(ReplaceFile, AFailedFillLeavesTheTargetAndNoTemporary) {
    TempDir dir;
    const std::string path = dir / "f";
    ASSERT_TRUE(replace(path, "old"));
    const Status failed = GetParam().fill(path, [](FileOutput& out) -> Status {
        out.write(std::string(2 << 20, 'x'));
        return fail(make_error("cannot go on"));
    });
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().messages, (std::vector<std::string>{"cannot go on"}));
    // Running out of memory halfway through.
    EXPECT_THROW((void)GetParam().fill(path,
                                       [](FileOutput& out) -> Status {
                                           out.write(std::string(2 << 20, 'x'));
                                           throw std::bad_alloc();
                                       }),
                 std::bad_alloc);
    EXPECT_EQ(must_read(path), "old");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"f"}));
}

// A write that fails while content is streamed (here over a file-size limit)
// fails the replacement with its system error, however much is written after it.
TEST_P(ReplaceFile, AFailedWriteFailsTheStreamedReplacement) {
    TempDir dir;
    const std::string path = dir / "f";
    ASSERT_TRUE(replace(path, "old"));
    struct rlimit old_limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    struct rlimit limit = old_limit;
    limit.rlim_cur = 64 << 10;
    const auto old_action = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const Status status = GetParam().fill(path, [](FileOutput& out) {
        write_in_pieces(out, std::string(3 << 20, 'x'), {1000});
        return Status{};
    });
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    ::signal(SIGXFSZ, old_action);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().messages, (std::vector<std::string>{"File too large (os error 27)"}));
    EXPECT_EQ(must_read(path), "old");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"f"}));
}

// Killed by a file-size limit halfway through the write (SIGXFSZ at its default
// action): the target stays as it was. The unnamed temporary file vanishes
// with the process; a named one stays behind, but no more readable than the
// target, whatever the umask would have allowed.
TEST_P(ReplaceFile, KilledMidWriteLeavesTheTargetAndNothingLooser) {
    TempDir dir;
    const std::string path = dir / "secret.json";
    ASSERT_TRUE(replace(path, "old"));
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::umask(022);
        ::signal(SIGXFSZ, SIG_DFL);
        struct rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        (void)replace(path, std::string(1 << 20, 'x'));
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    EXPECT_EQ(must_read(path), "old");
    std::set<std::string> left = dir.names();
    left.erase("secret.json");
    EXPECT_EQ(left.size(), GetParam().named_temporary ? 1u : 0u);
    for (const auto& name : left) EXPECT_EQ(stat_of(dir / name).st_mode & 07777, 0600u) << name;
}

}  // namespace
}  // namespace devctl
