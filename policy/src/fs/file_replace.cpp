// Whole-file replacement: the new content appears at once or not at all, and
// no one can read it through a looser mode than the target's while it is written.
#include "fs/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>

#include "fs/copy_xattrs.h"
#include "fs/leftover_temps.h"
#include "fs/run_lock.h"
#include "fs/unique_fd.h"
#include "fs/write_all.h"
#include "fs/write_in_place.h"

namespace devctl {

namespace {

constexpr size_t kBufferSize = 1 << 20;

}  // namespace

void FileOutput::write(std::string_view data) {
    const bool direct = data.size() >= kBufferSize / 2;
    if (direct || data.size() > kBufferSize - buffer_.size()) flush();
    if (error_ != 0) return;
    if (direct) {
        error_ = write_out(data);
    } else {
        buffer_.reserve(kBufferSize);
        buffer_.append(data);
    }
}

void FileOutput::flush() {
    if (error_ == 0) error_ = write_out(buffer_);
    buffer_.clear();
}

int FileOutput::write_out(std::string_view data) const {
    return deadline_ ? write_all_by(fd_, data, *deadline_) : write_all(fd_, data);
}

int FileOutput::finish() {
    flush();
    return error_;
}

namespace {

namespace stdfs = std::filesystem;

// The path with every symbolic link at its end resolved (up to 40 hops);
// a dangling link gives the path it names.
stdfs::path final_target(const std::string& path) {
    stdfs::path current = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!stdfs::is_symlink(stdfs::symlink_status(current, error))) break;
        const stdfs::path next = stdfs::read_symlink(current, error);
        if (error) break;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current;
}

// The directory that holds path: its parent, or "." for a bare name.
std::string directory_of(const stdfs::path& path) {
    return path.parent_path().empty() ? "." : path.parent_path().string();
}

struct Target {
    std::string path;  // the final target: a symbolic link stays a link
    std::string dir;   // same file system as the target, so the rename is atomic
    std::string name;
    std::optional<struct stat> old;  // absent for a new file
};

Result<Target> resolve(const std::string& path) {
    const stdfs::path resolved = final_target(path);
    Target target{resolved.string(), directory_of(resolved), resolved.filename().string(), std::nullopt};
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

// The content, then the final owner and mode, then the old file's extended
// attributes (a change of owner would clear some of them), then all of it
// on disk.
Status fill_in(int fd, const FillFile& fill, const Target& target) {
    FileOutput out(fd);
    if (Status filled = fill(out); !filled) return filled;
    int e = out.finish();
    if (e == 0) e = give_final_mode(fd, target.old);
    if (e != 0) return fail(system_error(e));
    if (target.old) {
        if (Status copied = copy_extended_attributes(target.path, fd); !copied) return copied;
    }
    if (::fsync(fd) != 0) return fail(system_error(errno));
    return {};
}

// The temporary file; its name, once it has one, is removed on every way
// out, a throw included, unless the file was renamed into place.
struct TempFile {
    UniqueFd fd;
    std::string path;  // empty while the file has no name
    ~TempFile() {
        if (!path.empty()) ::unlink(path.c_str());
    }
};

// Calls make(candidate) for ".NAME.tmp-PID-N" beside the target until a name
// is free; 0 with temp's path set, or the errno.
template <class Make>
int name_temp(const Target& target, TempFile& temp, Make make) {
    const std::string stem =
        (stdfs::path(target.dir) / (temp_name_prefix(target.name) + std::to_string(::getpid()) + "-")).string();
    for (int attempt = 0;; ++attempt) {
        std::string candidate = stem + std::to_string(attempt);
        const int e = make(candidate);
        if (e == 0) temp.path = std::move(candidate);
        if (e != EEXIST || attempt == 100) return e;
    }
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

// One way through: an unnamed file has no name until it is complete, so a
// killed run leaves nothing; a named one is created under its name. Nothing
// when unnamed files cannot be made or named here.
std::optional<Status> replace_through(const Target& target, const FillFile& fill, bool unnamed) {
    TempFile temp;
    int e = 0;
    if (unnamed) {
        temp.fd = UniqueFd(::open(target.dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
        if (!temp.fd && refuses_unnamed(errno)) return std::nullopt;
        if (!temp.fd) e = errno;
    } else {
        e = name_temp(target, temp, [&](const std::string& name) {
            temp.fd = UniqueFd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
            return temp.fd ? 0 : errno;
        });
    }
    if (e != 0) return fail(system_error(e));
    if (Status filled = fill_in(temp.fd.get(), fill, target); !filled) return filled;
    if (unnamed) {
        e = name_temp(target, temp, [&](const std::string& name) { return link_unnamed(temp.fd.get(), name); });
        // ENOENT: neither the capability nor /proc, so it cannot be named here.
        if (e == ENOENT) return std::nullopt;
    }
    if (e == 0) e = temp.fd.reset();
    if (e == 0 && ::rename(temp.path.c_str(), target.path.c_str()) != 0) e = errno;
    if (e != 0) return fail(system_error(e));
    temp.path.clear();
    return Status{};
}

// Whether a temporary file is made beside the target to take its place:
// the target is a regular file or absent, and named (not "DIR/"). A
// directory gets its temporary file too, but fails at the rename, so
// nothing beside it is cleared.
bool renamed_into_place(const Target& target) {
    return !target.name.empty() && (!target.old || S_ISREG(target.old->st_mode));
}

void sync_directory(const std::string& dir) {
    UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) ::fsync(fd.get());
}

Status replace(const std::string& path, const FillFile& fill, bool unnamed_first) {
    auto target = resolve(path);
    if (target && target->old && is_written_in_place(*target->old)) {
        if (auto written = write_in_place(target->path, fill)) return std::move(*written);
        target = resolve(path);  // a regular file took its place meanwhile
    }
    if (!target) return fail(std::move(target.error()));
    // Under the run lock no other run is writing here, so any temporary
    // file of this target is a killed run's.
    if (run_lock_held() && renamed_into_place(*target)) remove_leftover_temps(target->dir, target->name);
    std::optional<Status> done;
    if (unnamed_first) done = replace_through(*target, fill, true);
    Status result = done ? std::move(*done) : std::move(*replace_through(*target, fill, false));
    if (result) sync_directory(target->dir);
    return result;
}

FillFile writing(std::string_view content) {
    return [content](FileOutput& out) {
        out.write(content);
        return Status{};
    };
}

}  // namespace

Status replace_file(const std::string& path, const FillFile& fill) {
    return replace(path, fill, true);
}

Status replace_file(const std::string& path, std::string_view content) {
    return replace(path, writing(content), true);
}

Status replace_file_named(const std::string& path, const FillFile& fill) {
    return replace(path, fill, false);
}

Status replace_file_named(const std::string& path, std::string_view content) {
    return replace(path, writing(content), false);
}

}  // namespace devctl
