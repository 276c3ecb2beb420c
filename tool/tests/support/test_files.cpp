// File helpers for end-to-end tests; failures throw, which fails the test.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "sandbox.h"

namespace devctl::test {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail_errno(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

void require_sandbox(const std::string& path) {
    if (!in_sandbox()) throw std::runtime_error("refusing to change " + path + " outside the sandbox");
}

struct stat stat_of(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) fail_errno("stat", path);
    return st;
}

}  // namespace

void write_test_file(const std::string& path, std::string_view bytes, mode_t mode) {
    require_sandbox(path);
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) fs::create_directories(parent);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) fail_errno("open", path);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            fail_errno("write", path);
        }
        done += static_cast<size_t>(n);
    }
    // The mode given wins over the umask and over an existing file's mode.
    if (::fchmod(fd, mode) != 0) fail_errno("chmod", path);
    ::close(fd);
}

void install_test_file(const std::string& source, const std::string& path, mode_t mode) {
    write_test_file(path, read_test_file(source), mode);
}

void remove_test_path(const std::string& path) {
    require_sandbox(path);
    std::error_code error;
    fs::remove_all(path, error);
    if (error) throw std::runtime_error("remove " + path + ": " + error.message());
}

std::string read_test_file(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) fail_errno("open", path);
    std::string out;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            fail_errno("read", path);
        }
        if (n == 0) break;
        out.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return out;
}

bool path_exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

mode_t file_mode(const std::string& path) { return stat_of(path).st_mode & 07777; }

uid_t file_owner(const std::string& path) { return stat_of(path).st_uid; }

HeldRunLock::HeldRunLock() {
    require_sandbox(kRunLockFile);
    fd_ = ::open(kRunLockFile.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) fail_errno("open", kRunLockFile);
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) fail_errno("flock", kRunLockFile);
}

void HeldRunLock::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace devctl::test
