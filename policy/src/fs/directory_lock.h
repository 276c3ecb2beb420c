#pragma once
// Serialises read-modify-write cycles of one file between processes.
#include <string>

#include "fs/unique_fd.h"

namespace devctl {

// An exclusive flock on the directory that holds the file's final target,
// taken on construction (waiting for it) and released on destruction. Locking
// the directory creates no file. Where the directory cannot be opened or
// locked, nothing is held and the caller goes on: its own reads and writes
// then report the problem as they always have.
class DirectoryLock {
public:
    explicit DirectoryLock(const std::string& file_path);

private:
    UniqueFd fd_;
};

}  // namespace devctl
