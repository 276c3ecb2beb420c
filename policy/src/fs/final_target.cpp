#include "fs/final_target.h"

namespace devctl {

namespace stdfs = std::filesystem;

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

stdfs::path directory_of(const stdfs::path& path) {
    return path.parent_path().empty() ? stdfs::path(".") : path.parent_path();
}

}  // namespace devctl
