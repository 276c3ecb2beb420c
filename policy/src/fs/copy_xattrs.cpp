#include "fs/copy_xattrs.h"

#include <sys/xattr.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

namespace devctl {

namespace {

// Who may read the file and how it is labelled; other system.* names belong
// to the file system itself.
bool carried_over(std::string_view name) {
    return name == "system.posix_acl_access" || name.starts_with("security.") || name.starts_with("trusted.") ||
           name.starts_with("user.");
}

// Reads through get(buffer, size) into out, asking the size first and again
// whenever it grew in between; 0 or the errno.
template <class Get>
int read_sized(std::string& out, Get get) {
    for (;;) {
        ssize_t size = get(nullptr, 0);
        if (size < 0) return errno;
        out.resize(static_cast<size_t>(size));
        if (size == 0) return 0;
        size = get(out.data(), out.size());
        if (size >= 0) {
            out.resize(static_cast<size_t>(size));
            return 0;
        }
        if (errno != ERANGE) return errno;
    }
}

}  // namespace

Status copy_extended_attributes(const std::string& from, int to) {
    std::string names;
    int e = read_sized(names, [&](char* list, size_t size) { return ::llistxattr(from.c_str(), list, size); });
    if (e == ENOTSUP) return {};
    if (e != 0) return fail(with_context(system_error(e), "failed to list extended attributes"));
    std::string value;
    for (std::string_view rest = names; !rest.empty();) {
        const std::string name(rest.substr(0, rest.find('\0')));
        rest.remove_prefix(std::min(rest.size(), name.size() + 1));
        if (!carried_over(name)) continue;
        e = read_sized(value, [&](char* bytes, size_t size) {
            return ::lgetxattr(from.c_str(), name.c_str(), bytes, size);
        });
        if (e == ENODATA) continue;  // removed since the listing
        if (e != 0) return fail(with_context(system_error(e), "failed to read extended attribute " + name));
        if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) {
            return fail(with_context(system_error(errno), "failed to set extended attribute " + name));
        }
    }
    return {};
}

}  // namespace devctl
