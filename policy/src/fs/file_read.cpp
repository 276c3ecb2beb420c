#include <fcntl.h>
#include <sys/stat.h>

#include "fs/file_io.h"
#include "fs/unique_fd.h"

namespace devctl {

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

Result<std::string> read_file(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return fail(system_error(errno));
    std::string content;
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && st.st_size > 0) content.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(system_error(errno));
        if (n == 0) return content;
        content.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace devctl
