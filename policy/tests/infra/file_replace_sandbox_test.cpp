// Failed replacements on a full and on a read-only file system leave the old
// file as it was. Needs the sandbox for the mounts.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include "fs/file_io.h"
#include "sandbox.h"
#include "temp_dir.h"

namespace devctl {
namespace {

using testing_support::TempDir;

constexpr const char* kMount = "/run/devctl-fs-test";

class FileReplaceOnMount : public testing::Test {
protected:
    void SetUp() override {
        test::reset_sandbox();
        test::remove_test_path(kMount);
        ASSERT_EQ(::mkdir(kMount, 0755), 0);
        ASSERT_EQ(::mount("tmpfs", kMount, "tmpfs", 0, "size=64k,mode=0755"), 0);
        test::write_test_file(path(), "old", 0640);
        ASSERT_EQ(::chown(path().c_str(), 1234, 5678), 0);
    }
    void TearDown() override { ::umount2(kMount, MNT_DETACH); }

    static std::string path() { return std::string(kMount) + "/config.json"; }

    void expect_untouched() {
        EXPECT_EQ(test::read_test_file(path()), "old");
        EXPECT_EQ(test::file_mode(path()), 0640u);
        EXPECT_EQ(test::file_owner(path()), 1234u);
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(kMount)) names.push_back(e.path().filename());
        EXPECT_EQ(names, (std::vector<std::string>{"config.json"}));
    }
};

TEST_F(FileReplaceOnMount, FullFileSystem) {
    const Status status = replace_file(path(), std::string(1 << 20, 'x'));
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().messages, (std::vector<std::string>{"No space left on device (os error 28)"}));
    expect_untouched();
    // Room again: the same call goes through and keeps mode and owner.
    ASSERT_TRUE(replace_file(path(), "new"));
    EXPECT_EQ(test::read_test_file(path()), "new");
    EXPECT_EQ(test::file_mode(path()), 0640u);
    EXPECT_EQ(test::file_owner(path()), 1234u);
}

TEST_F(FileReplaceOnMount, ReadOnlyFileSystem) {
    ASSERT_EQ(::mount(nullptr, kMount, nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    const Status status = replace_file(path(), "new");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().messages, (std::vector<std::string>{"Read-only file system (os error 30)"}));
    expect_untouched();
}

}  // namespace
}  // namespace devctl
