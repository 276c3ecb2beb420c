// Whole-file replacement: the new content appears at once or not at all.
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>

#include "fs/file_io.h"
#include "fs/unique_fd.h"

namespace devctl {
namespace {

namespace stdfs = std::filesystem;

// A symbolic link stays a link: its final target is what gets replaced.
std::string final_target(const std::string& path) {
    stdfs::path current = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!stdfs::is_symlink(stdfs::symlink_status(current, error))) break;
        const stdfs::path next = stdfs::read_symlink(current, error);
        if (error) break;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current.string();
}

struct TempFile {
    std::string path;
    UniqueFd fd;
};

// Created beside the target (same file system, so the rename is atomic) with
// 0666 less the umask, the mode a new file gets.
Result<TempFile> create_temp_beside(const stdfs::path& target) {
    const stdfs::path dir = target.parent_path().empty() ? stdfs::path(".") : target.parent_path();
    std::string stem = ".";
    stem += target.filename().string();
    stem += ".tmp-";
    stem += std::to_string(::getpid());
    stem += '-';
    for (int attempt = 0;; ++attempt) {
        std::string candidate = (dir / (stem + std::to_string(attempt))).string();
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return TempFile{std::move(candidate), UniqueFd(fd)};
        if (errno != EEXIST || attempt == 100) return fail(system_error(errno));
    }
}

// Owner first: a change of owner clears set-user-ID and set-group-ID bits.
int copy_owner_and_mode(int fd, const struct stat& old) {
    struct stat now {};
    if (::fstat(fd, &now) != 0) return errno;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        return errno;
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0) return errno;
    return 0;
}

void sync_directory(const stdfs::path& target) {
    const stdfs::path dir = target.parent_path().empty() ? stdfs::path(".") : target.parent_path();
    UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) ::fsync(fd.get());
}

int fill_and_commit(TempFile& temp, const std::string& target, std::string_view content,
                    const struct stat* old) {
    if (int e = write_all(temp.fd.get(), content)) return e;
    if (::fsync(temp.fd.get()) != 0) return errno;
    if (old != nullptr) {
        if (int e = copy_owner_and_mode(temp.fd.get(), *old)) return e;
    }
    if (int e = temp.fd.reset()) return e;
    if (::rename(temp.path.c_str(), target.c_str()) != 0) return errno;
    return 0;
}

}  // namespace

Status replace_file(const std::string& path, std::string_view content) {
    const std::string target = final_target(path);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (!existed && errno != ENOENT) return fail(system_error(errno));

    auto temp = create_temp_beside(target);
    if (!temp) return fail(std::move(temp.error()));
    if (int e = fill_and_commit(*temp, target, content, existed ? &old : nullptr)) {
        ::unlink(temp->path.c_str());
        return fail(system_error(e));
    }
    sync_directory(target);
    return {};
}

}  // namespace devctl
