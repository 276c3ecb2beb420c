#pragma once
// Writing into a target that is not a regular file (a device, a FIFO, a
// socket): renaming a new file over it would swap the node itself for a
// plain file anyone might be able to write.
#include <sys/stat.h>

#include <chrono>
#include <optional>
#include <string>

#include "error/chained_error.h"
#include "fs/file_replace.h"

namespace devctl {

// How long a write into a device or FIFO may take, from the open to the last
// byte: a reader that stops reading must not hold up the run (and the run
// lock) for ever.
inline constexpr std::chrono::milliseconds kInPlaceWriteLimit{60000};

// Whether an existing file is written in place: anything neither a regular
// file nor a directory.
bool is_written_in_place(const struct stat& st);

// Opens path for writing without creating or truncating it, as a plain
// open for writing would, and writes the content through fill; owner and
// mode stay as they are. A FIFO without a reader fails at once (ENXIO)
// rather than waiting for one; a reader that leaves fails it with EPIPE,
// never with a signal. Past limit it fails with "timed out after N s
// writing into a device or FIFO". Nothing when the file turns out to be a
// regular one by now: that is the atomic replacement's to do.
std::optional<Status> write_in_place(const std::string& path, const FillFile& fill,
                                     std::chrono::milliseconds limit = kInPlaceWriteLimit);

}  // namespace devctl
