// Whole-file replacement: the new content appears at once or not at all, and
// no one can read it through a looser mode than the target's while it is written.
#include <fcntl.h>
#include <sys/stat.h>

#include <optional>

#include "fs/file_io.h"
#include "fs/file_replace_named.h"
#include "fs/final_target.h"
#include "fs/unique_fd.h"

namespace devctl {
namespace {

namespace stdfs = std::filesystem;

// Not an errno: the file system refuses unnamed files, so use a named one.
constexpr int kNoUnnamedFiles = -1;

struct Target {
    std::string path;  // the final target: a symbolic link stays a link
    std::string dir;   // same file system as the target, so the rename is atomic
    std::string name;
    std::optional<struct stat> old;  // absent for a new file
};

Result<Target> resolve(const std::string& path) {
    Target target;
    target.path = final_target(path);
    const stdfs::path resolved = target.path;
    target.dir = directory_of(resolved).string();
    target.name = resolved.filename().string();
    struct stat st {};
    if (::stat(target.path.c_str(), &st) == 0) {
        target.old = st;
    } else if (errno != ENOENT) {
        return fail(system_error(errno));
    }
    return target;
}

// What open() with 0666 would have given. umask() can only be read by setting
// it; the tool is single-threaded.
mode_t new_file_mode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Owner first: a change of owner clears set-user-ID and set-group-ID bits.
int give_final_mode(int fd, const std::optional<struct stat>& old) {
    if (!old) return ::fchmod(fd, new_file_mode()) == 0 ? 0 : errno;
    struct stat now {};
    if (::fstat(fd, &now) != 0) return errno;
    if ((now.st_uid != old->st_uid || now.st_gid != old->st_gid) && ::fchown(fd, old->st_uid, old->st_gid) != 0) {
        return errno;
    }
    return ::fchmod(fd, old->st_mode & 07777) == 0 ? 0 : errno;
}

// The content, then the final owner and mode, then all of it on disk.
int fill(int fd, std::string_view content, const Target& target) {
    if (int e = write_all(fd, content)) return e;
    if (int e = give_final_mode(fd, target.old)) return e;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Calls make(candidate) for ".NAME.tmp-PID-N" beside the target until a name
// is free; 0 with `chosen` set, or the errno.
template <class Make>
int with_temp_name(const Target& target, std::string& chosen, Make make) {
    const std::string stem =
        (stdfs::path(target.dir) / ("." + target.name + ".tmp-" + std::to_string(::getpid()) + "-")).string();
    for (int attempt = 0;; ++attempt) {
        chosen = stem + std::to_string(attempt);
        const int e = make(chosen);
        if (e != EEXIST || attempt == 100) return e;
    }
}

// The complete temporary file takes the target's place, or goes.
int move_into_place(const std::string& temp, const Target& target) {
    if (::rename(temp.c_str(), target.path.c_str()) == 0) return 0;
    const int e = errno;
    ::unlink(temp.c_str());
    return e;
}

// An empty path needs CAP_DAC_READ_SEARCH; /proc's link to the open file does not.
int link_unnamed(int fd, const std::string& name) {
    if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
    if (errno == EEXIST) return errno;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// Old kernels take O_TMPFILE for O_DIRECTORY and say EISDIR; file systems
// without unnamed files say EOPNOTSUPP.
bool refuses_unnamed(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// The file has no name until it is complete, so a killed run leaves nothing.
int replace_unnamed(const Target& target, std::string_view content) {
    UniqueFd fd(::open(target.dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (!fd) return refuses_unnamed(errno) ? kNoUnnamedFiles : errno;
    if (int e = fill(fd.get(), content, target)) return e;
    std::string temp;
    if (int e = with_temp_name(target, temp, [&](const std::string& name) { return link_unnamed(fd.get(), name); })) {
        // Neither capability nor /proc: it cannot be named here.
        return e == ENOENT ? kNoUnnamedFiles : e;
    }
    if (int e = fd.reset()) {
        ::unlink(temp.c_str());
        return e;
    }
    return move_into_place(temp, target);
}

int replace_named(const Target& target, std::string_view content) {
    std::string temp;
    UniqueFd fd;
    if (int e = with_temp_name(target, temp, [&](const std::string& name) {
            fd = UniqueFd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
            return fd ? 0 : errno;
        })) {
        return e;
    }
    int e = fill(fd.get(), content, target);
    if (e == 0) e = fd.reset();
    if (e != 0) {
        ::unlink(temp.c_str());
        return e;
    }
    return move_into_place(temp, target);
}

void sync_directory(const std::string& dir) {
    UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) ::fsync(fd.get());
}

Status replace(const std::string& path, std::string_view content, bool unnamed_first) {
    auto target = resolve(path);
    if (!target) return fail(std::move(target.error()));
    int e = unnamed_first ? replace_unnamed(*target, content) : kNoUnnamedFiles;
    if (e == kNoUnnamedFiles) e = replace_named(*target, content);
    if (e != 0) return fail(system_error(e));
    sync_directory(target->dir);
    return {};
}

}  // namespace

Status replace_file(const std::string& path, std::string_view content) {
    return replace(path, content, true);
}

Status replace_file_named(const std::string& path, std::string_view content) {
    return replace(path, content, false);
}

}  // namespace devctl
