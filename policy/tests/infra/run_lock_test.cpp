// The run lock: who can open its file, how long a run waits for it, and the
// leftover temporary files that only its holder may remove.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "fs/file_replace.h"
#include "fs/leftover_temps.h"
#include "fs/run_lock.h"
#include "temp_dir.h"

namespace devctl {
namespace {

using namespace std::chrono_literals;
using testing_support::TempDir;
namespace stdfs = std::filesystem;

// flock() locks belong to the open file description, so a second descriptor
// of this process competes like another process would.
UniqueFd lock_elsewhere(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_TRUE(fd) << path;
    if (fd && ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return {};
    return fd;
}

// A plain 0600 lock file at path, locked as another run would hold it.
UniqueFd held_elsewhere(const std::string& path) {
    UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT, 0600));
    return lock_elsewhere(path);
}

RunLock take(const std::string& path, const RunLockWait& wait = {}) {
    auto lock = RunLock::take(path, wait);
    if (!lock) throw std::runtime_error(chain_form(lock.error()));
    return std::move(*lock);
}

struct stat stat_of(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

// 0600 whatever the umask, one that would leave nothing or give everything.
TEST(RunLock, HoldsARootOnlyFileUntilDestroyed) {
    for (const mode_t mask : {0, 0777}) {
        TempDir dir;
        const std::string path = dir / "tool.lock";
        const mode_t old_mask = ::umask(mask);
        {
            const RunLock lock = take(path);
            EXPECT_TRUE(lock.held());
            EXPECT_TRUE(run_lock_held());
            EXPECT_EQ(stat_of(path).st_mode & 07777, 0600u) << std::oct << mask;
            EXPECT_FALSE(lock_elsewhere(path));
        }
        ::umask(old_mask);
        EXPECT_FALSE(run_lock_held());
        EXPECT_TRUE(lock_elsewhere(path));
    }
}

// The file waited for is removed and another put in its place before its
// holder lets go: the lock is taken on the file the path names now.
TEST(RunLock, AFileReplacedDuringTheWaitIsNotTheOneHeld) {
    TempDir dir;
    const std::string path = dir / "tool.lock";
    UniqueFd other = held_elsewhere(path);
    ASSERT_TRUE(other);
    const auto replace = [&] {
        ASSERT_EQ(::unlink(path.c_str()), 0);
        UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600));
        other.reset();
    };
    const RunLock lock = take(path, {.notice_after = 20ms, .give_up_after = 10s, .on_long_wait = replace});
    EXPECT_TRUE(lock.held());
    EXPECT_FALSE(lock_elsewhere(path));
}

// Made afresh: whoever opened the loose file still has that one, not the
// file locked, so their flock keeps no one out.
TEST(RunLock, TakesAnExistingLooseFileBack) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the file away first";
    TempDir dir;
    const std::string path = dir / "tool.lock";
    UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT, 0644));
    ASSERT_EQ(::chmod(path.c_str(), 04666), 0);
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    const UniqueFd early(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    const RunLock lock = take(path);
    EXPECT_TRUE(lock.held());
    const struct stat st = stat_of(path);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(st.st_uid, ::geteuid());
    EXPECT_EQ(st.st_gid, ::getegid());
    EXPECT_EQ(::flock(early.get(), LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(lock_elsewhere(path));
}

// No directory for it, or something other than a plain file in its place:
// the run goes on unlocked, and a link's target is left alone.
TEST(RunLock, GoesOnWithoutALockWhereTheFileCannotBeHad) {
    TempDir dir;
    const std::string outside = dir / "outside";
    UniqueFd(::open(outside.c_str(), O_WRONLY | O_CREAT, 0644));
    ASSERT_EQ(::chmod(outside.c_str(), 0644), 0);
    stdfs::create_symlink(outside, dir / "link.lock");
    ASSERT_EQ(::mkfifo((dir / "fifo.lock").c_str(), 0600), 0);
    for (const std::string& path : {dir / "missing/tool.lock", dir / "link.lock", dir / "fifo.lock"}) {
        const RunLock lock = take(path);
        EXPECT_FALSE(lock.held()) << path;
        EXPECT_FALSE(run_lock_held()) << path;
    }
    EXPECT_EQ(stat_of(outside).st_mode & 07777, 0644u);
    EXPECT_FALSE(stdfs::exists(dir / "missing"));
}

TEST(RunLock, WaitsForARunThatLetsGo) {
    TempDir dir;
    const std::string path = dir / "tool.lock";
    UniqueFd other = held_elsewhere(path);
    ASSERT_TRUE(other);
    std::jthread release([&] {
        std::this_thread::sleep_for(150ms);
        other.reset();
    });
    int notices = 0;
    const auto start = std::chrono::steady_clock::now();
    const RunLock lock = take(path, {.notice_after = 50ms, .give_up_after = 10s, .on_long_wait = [&] { ++notices; }});
    EXPECT_TRUE(lock.held());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
    EXPECT_EQ(notices, 1);
}

TEST(RunLock, GivesUpAfterItsTimeWithOneNotice) {
    TempDir dir;
    const std::string path = dir / "tool.lock";
    const UniqueFd other = held_elsewhere(path);
    ASSERT_TRUE(other);
    int notices = 0;
    const auto start = std::chrono::steady_clock::now();
    auto lock = RunLock::take(path, {.notice_after = 20ms, .give_up_after = 300ms, .on_long_wait = [&] { ++notices; }});
    ASSERT_FALSE(lock);
    EXPECT_EQ(chain_form(lock.error()), "timed out waiting for " + path);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(notices, 1);
    EXPECT_FALSE(run_lock_held());
}

// Exactly ".NAME.tmp-<digits>-<digits>" plain files go; links (and what they
// point to), directories, other names and other targets' files stay.
TEST(LeftoverTemps, OnlyThisTargetsTemporaryFilesGo) {
    TempDir dir;
    auto touch = [&](const std::string& name) { UniqueFd(::open((dir / name).c_str(), O_WRONLY | O_CREAT, 0600)); };
    for (const char* name : {"f", ".f.tmp-12-3", ".f.tmp-1-0", ".f.tmp-12-", ".f.tmp-x-3", ".f.tmp-1-2x", ".g.tmp-1-1",
                             "f.tmp-1-1", ".f.tmp-1-1.bak", "kept"}) {
        touch(name);
    }
    stdfs::create_symlink(dir / "kept", dir / ".f.tmp-7-7");
    stdfs::create_directory(dir / ".f.tmp-8-8");
    remove_leftover_temps(dir.path(), "f");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"f", ".f.tmp-12-", ".f.tmp-x-3", ".f.tmp-1-2x", ".g.tmp-1-1",
                                                  "f.tmp-1-1", ".f.tmp-1-1.bak", "kept", ".f.tmp-7-7", ".f.tmp-8-8"}));
}

// A replacement clears its final target's leftovers only under the run lock.
TEST(LeftoverTemps, ReplacementRemovesThemOnlyUnderTheRunLock) {
    TempDir dir;
    const std::string leftover = dir / ".f.tmp-4242-0";
    UniqueFd(::open(leftover.c_str(), O_WRONLY | O_CREAT, 0600));
    stdfs::create_symlink("f", dir / "link");
    ASSERT_TRUE(replace_file(dir / "link", "one"));
    EXPECT_TRUE(stdfs::exists(leftover));
    {
        const RunLock lock = take(dir / "tool.lock");
        ASSERT_TRUE(lock.held());
        ASSERT_TRUE(replace_file(dir / "link", "two"));
    }
    EXPECT_EQ(dir.names(), (std::set<std::string>{"f", "link", "tool.lock"}));
}

}  // namespace
}  // namespace devctl
