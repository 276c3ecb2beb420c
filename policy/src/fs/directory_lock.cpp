#include "fs/directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include "fs/final_target.h"

namespace devctl {

DirectoryLock::DirectoryLock(const std::string& file_path) {
    const std::string dir = directory_of(final_target(file_path)).string();
    UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd) return;
    int locked;
    do {
        locked = ::flock(fd.get(), LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) fd_ = std::move(fd);
}

}  // namespace devctl
