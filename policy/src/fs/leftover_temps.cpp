#include "fs/leftover_temps.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace devctl {
namespace {

bool digits(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

// "<digits>-<digits>" after the prefix.
bool is_leftover_name(std::string_view entry, std::string_view prefix) {
    if (!entry.starts_with(prefix)) return false;
    entry.remove_prefix(prefix.size());
    const size_t dash = entry.find('-');
    return dash != std::string_view::npos && digits(entry.substr(0, dash)) && digits(entry.substr(dash + 1));
}

struct CloseDir {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

std::string temp_name_prefix(std::string_view name) {
    return "." + std::string(name) + ".tmp-";
}

void remove_leftover_temps(const std::string& dir, std::string_view name) {
    const std::unique_ptr<DIR, CloseDir> listing(::opendir(dir.c_str()));
    if (!listing) return;
    const int dir_fd = ::dirfd(listing.get());
    const std::string prefix = temp_name_prefix(name);
    while (const dirent* entry = ::readdir(listing.get())) {
        if (!is_leftover_name(entry->d_name, prefix)) continue;
        struct stat st {};
        if (::fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) {
            ::unlinkat(dir_fd, entry->d_name, 0);
        }
    }
}

}  // namespace devctl
