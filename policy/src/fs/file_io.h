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

// Writes content to a temporary file in the same directory, flushes it,
// gives it the old file's mode and owner (a new file gets 0666 less the
// umask) and renames it over path. On any failure the old file is untouched
// and the error is the system error (one message). No directory is created.
Status replace_file(const std::string& path, std::string_view content);

}  // namespace devctl
