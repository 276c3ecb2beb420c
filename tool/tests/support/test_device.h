#pragma once
// A character device like /dev/null (1:3), made in the sandbox's private
// /dev, for files that must still be that device after the tool wrote to
// them. The machine's own /dev/null is never touched.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <string>

namespace devctl::test {

inline const std::string kTestDevice = "/dev/orvex-test-null";

// Throws (failing the test) where the node cannot be made.
inline void make_test_device(mode_t mode, uid_t owner) {
    if (::mknod(kTestDevice.c_str(), S_IFCHR | mode, ::makedev(1, 3)) != 0 ||
        ::chmod(kTestDevice.c_str(), mode) != 0 || ::chown(kTestDevice.c_str(), owner, owner) != 0) {
        throw std::runtime_error("cannot make " + kTestDevice);
    }
}

inline testing::AssertionResult is_test_device(mode_t mode, uid_t owner) {
    struct stat st {};
    if (::lstat(kTestDevice.c_str(), &st) != 0) return testing::AssertionFailure() << kTestDevice << " is gone";
    if (!S_ISCHR(st.st_mode) || st.st_rdev != ::makedev(1, 3)) {
        return testing::AssertionFailure() << kTestDevice << " is no longer the device, mode " << std::oct
                                           << st.st_mode;
    }
    if ((st.st_mode & 07777) != mode || st.st_uid != owner || st.st_gid != owner) {
        return testing::AssertionFailure() << std::oct << "mode " << (st.st_mode & 07777) << std::dec << ", owner "
                                           << st.st_uid << ":" << st.st_gid;
    }
    return testing::AssertionSuccess();
}

}  // namespace devctl::test
