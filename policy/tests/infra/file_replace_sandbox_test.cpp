// Failed replacements on a full and on a read-only file system leave the old
// file as it was; extended attributes, which tmpfs keeps all kinds of, come
// over to the new file. Needs the sandbox for the mounts.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <filesystem>

#include "replace_ways.h"
#include "sandbox.h"
#include "xattr_values.h"

namespace devctl {
namespace {

using testing_support::ReplaceWay;

constexpr const char* kMount = "/run/devctl-fs-test";

class FileReplaceOnMount : public testing::TestWithParam<ReplaceWay> {
protected:
    void SetUp() override {
        test::reset_sandbox();
        mount_with("size=64k,mode=0755");
    }
    void TearDown() override { ::umount2(kMount, MNT_DETACH); }

    // A fresh tmpfs with these options holding the old file, in place of any before.
    static void mount_with(const char* options) {
        ::umount2(kMount, MNT_DETACH);
        test::remove_test_path(kMount);
        ASSERT_EQ(::mkdir(kMount, 0755), 0);
        ASSERT_EQ(::mount("tmpfs", kMount, "tmpfs", 0, options), 0);
        test::write_test_file(path(), "old", 0640);
        ASSERT_EQ(::chown(path().c_str(), 1234, 5678), 0);
    }

    static std::string path() { return std::string(kMount) + "/config.json"; }
    static Status replace(std::string_view content) { return GetParam().replace(path(), content); }

    void expect_untouched() {
        EXPECT_EQ(test::read_test_file(path()), "old");
        EXPECT_EQ(test::file_mode(path()), 0640u);
        EXPECT_EQ(test::file_owner(path()), 1234u);
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(kMount)) names.push_back(e.path().filename());
        EXPECT_EQ(names, (std::vector<std::string>{"config.json"}));
    }
};

INSTANTIATE_TEST_SUITE_P(Ways, FileReplaceOnMount, testing_support::replace_ways(), testing_support::way_name);

TEST_P(FileReplaceOnMount, FullFileSystem) {
    const Status status = replace(std::string(1 << 20, 'x'));
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().messages, (std::vector<std::string>{"No space left on device (os error 28)"}));
    expect_untouched();
    // Room again: the same call goes through and keeps mode and owner.
    ASSERT_TRUE(replace("new"));
    EXPECT_EQ(test::read_test_file(path()), "new");
    EXPECT_EQ(test::file_mode(path()), 0640u);
    EXPECT_EQ(test::file_owner(path()), 1234u);
}

TEST_P(FileReplaceOnMount, ReadOnlyFileSystem) {
    ASSERT_EQ(::mount(nullptr, kMount, nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    const Status status = replace("new");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().messages, (std::vector<std::string>{"Read-only file system (os error 30)"}));
    expect_untouched();
}

// The ACL (which sets the mode's group bits too), the security and trusted
// labels and the user note all survive, and so does the mode.
TEST_P(FileReplaceOnMount, KeepsTheAclAndExtendedAttributes) {
    const test::Attributes attributes = test::access_attributes();
    test::set_attributes(path(), attributes);
    ASSERT_TRUE(replace("new"));
    EXPECT_EQ(test::read_test_file(path()), "new");
    EXPECT_EQ(test::attributes_of(path(), attributes), attributes);
    EXPECT_EQ(test::file_mode(path()), 0640u);
    EXPECT_EQ(test::file_owner(path()), 1234u);
}

// Four inodes' worth of attribute space holds the root, the file, its
// 700-byte note and the temporary file, but not a second copy of the note.
TEST_P(FileReplaceOnMount, AnAttributeThatCannotBeSetFailsTheReplacement) {
    mount_with("nr_inodes=4,mode=0755");
    const test::Attributes note = {{"user.note", std::string(700, 'n')}};
    test::set_attributes(path(), note);
    const Status status = replace("new");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().messages, (std::vector<std::string>{"failed to set extended attribute user.note",
                                                                 "No space left on device (os error 28)"}));
    expect_untouched();
    EXPECT_EQ(test::attributes_of(path(), note), note);
}

// Names longer than one listing can hold (600 of 200 bytes, over 64 KiB):
// the old file's attributes cannot be known, so it is not replaced.
TEST_P(FileReplaceOnMount, AnAttributeListingThatFailsFailsTheReplacement) {
    test::Attributes many;
    for (int i = 0; i < 600; ++i) {
        std::string name = "trusted." + std::to_string(i) + "-";
        name.resize(200, 'n');
        many.emplace_back(std::move(name), "v");
    }
    test::set_attributes(path(), many);
    const Status status = replace("new");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().messages, (std::vector<std::string>{"failed to list extended attributes",
                                                                 "Argument list too long (os error 7)"}));
    expect_untouched();
}

}  // namespace
}  // namespace devctl
