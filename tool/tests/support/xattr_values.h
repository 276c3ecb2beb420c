#pragma once
// Extended attributes for files that must keep them when replaced: an
// access control list built byte by byte (no setfacl needed), a security
// and a trusted label and a user note, and reading and setting them.
#include <sys/types.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace devctl::test {

// Version 2 of system.posix_acl_access: a header, then (tag, permissions,
// id) entries in tag order, all little-endian. Owner read-write, `reader`
// read, group read, mask read, others nothing: what mode 0640 shows.
inline std::string acl_granting_read(uid_t reader) {
    constexpr uint32_t kNoId = 0xffffffff;
    struct Entry {
        uint16_t tag;
        uint16_t permissions;
        uint32_t id;
    };
    const Entry entries[] = {{0x01, 6, kNoId}, {0x02, 4, reader}, {0x04, 4, kNoId}, {0x10, 4, kNoId}, {0x20, 0, kNoId}};
    std::string value;
    const auto append = [&value](uint32_t number, int bytes) {
        for (int i = 0; i < bytes; ++i) value += static_cast<char>((number >> (8 * i)) & 0xff);
    };
    append(2, 4);
    for (const Entry& entry : entries) {
        append(entry.tag, 2);
        append(entry.permissions, 2);
        append(entry.id, 4);
    }
    return value;
}

using Attributes = std::vector<std::pair<std::string, std::string>>;

// For a 0640 file: uid 1234 may read it through the ACL, plus three labels
// (root may set any security.* name on tmpfs).
inline Attributes access_attributes() {
    return {{"system.posix_acl_access", acl_granting_read(1234)},
            {"security.devctl-test", "rules"},
            {"trusted.label", "rules-admin"},
            {"user.note", "switched by hand"}};
}

// Throws (failing the test) where one cannot be set.
inline void set_attributes(const std::string& path, const Attributes& attributes) {
    for (const auto& [name, value] : attributes) {
        if (::lsetxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) != 0) {
            throw std::runtime_error("set " + name + " on " + path + ": " + std::strerror(errno));
        }
    }
}

// Those of `names` that the file has, with their values.
inline Attributes attributes_of(const std::string& path, const Attributes& names) {
    Attributes found;
    for (const auto& [name, ignored] : names) {
        std::string value(65536, '\0');
        const ssize_t size = ::lgetxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (size < 0) continue;
        value.resize(static_cast<size_t>(size));
        found.emplace_back(name, std::move(value));
    }
    return found;
}

}  // namespace devctl::test
