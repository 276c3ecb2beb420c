// The lock that serialises read-modify-write cycles: which directory it
// takes, when it lets go, and that it creates nothing there.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>

#include <filesystem>

#include "fs/file_replace.h"
#include "temp_dir.h"

namespace devctl {
namespace {

using testing_support::TempDir;
namespace stdfs = std::filesystem;

// flock() locks belong to the open file description, so a second descriptor
// of this process competes like another process would.
bool free_to_lock(const std::string& dir) {
    UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    EXPECT_TRUE(fd) << dir;
    return ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0;
}

TEST(DirectoryLock, HoldsTheDirectoryOfTheFinalTargetUntilDestroyed) {
    TempDir dir;
    stdfs::create_directory(dir / "real");
    stdfs::create_symlink("real/config.json", dir / "link");
    {
        const DirectoryLock lock(dir / "link");
        EXPECT_FALSE(free_to_lock(dir / "real"));
        EXPECT_TRUE(free_to_lock(dir.path()));
    }
    EXPECT_TRUE(free_to_lock(dir / "real"));
    EXPECT_EQ(dir.names(), (std::set<std::string>{"link", "real"}));
    EXPECT_TRUE(stdfs::is_empty(dir / "real"));
}

}  // namespace
}  // namespace devctl
