#pragma once
// Whole-file reading and atomic whole-file replacement.
#include <string>
#include <string_view>

#include "error/chained_error.h"

namespace devctl {

// True when stat() following links succeeds.
bool file_exists(const std::string& path);

// The whole file as bytes; the error is the system error (one message).
Result<std::string> read_file(const std::string& path);

// Writes content to a temporary file in the same directory (unnamed where the
// file system allows, mode 0600 while it is written), gives it the old file's
// owner and mode (a new file gets 0666 less the umask), flushes it and renames
// it over path; a symbolic link's final target is what gets replaced. On any
// failure the old file is untouched and the error is the system error (one
// message). No directory is created.
Status replace_file(const std::string& path, std::string_view content);

}  // namespace devctl
