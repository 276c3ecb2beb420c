#pragma once
// The named-temporary-file way of replace_file(). replace_file() falls back to
// it where the file system has no unnamed files; it is callable on its own so
// that it can be checked on any file system.
#include <string>
#include <string_view>

#include "error/chained_error.h"

namespace devctl {

// As replace_file(), but the content is written to ".NAME.tmp-PID-N" beside
// the target (mode 0600 until complete) and renamed over it.
Status replace_file_named(const std::string& path, std::string_view content);

}  // namespace devctl
