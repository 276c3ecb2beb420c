#pragma once
// Atomic whole-file replacement.
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "error/chained_error.h"

namespace devctl {

// What the new content is written through: a buffer of about 1 MiB in front
// of the temporary file (pieces of half that or more go straight to it). The
// first failed write is kept and fails the replacement; later writes are
// dropped. With a deadline, the descriptor is a non-blocking one, waited on
// while it takes nothing, and a write still waiting at the deadline fails.
class FileOutput {
public:
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;
    explicit FileOutput(int fd, Deadline deadline = std::nullopt) : fd_(fd), deadline_(deadline) {}
    void write(std::string_view data);
    // Writes out the buffer; 0, the errno of the first failed write, or
    // kWriteTimedOut (write_all.h).
    int finish();

private:
    void flush();
    int write_out(std::string_view data) const;

    int fd_;
    Deadline deadline_;
    int error_ = 0;
    std::string buffer_;
};

// Writes the whole new content; an error it returns (or an exception it
// throws) abandons the replacement. It may be called a second time, to start
// over on a named file, where an unnamed one turns out not to be nameable.
using FillFile = std::function<Status(FileOutput&)>;

// Writes the content (given, or by fill) to a temporary file in the same
// directory (unnamed where the file system allows, mode 0600 while it is
// written), gives it the old file's owner and mode (a new file gets 0666
// less the umask), then its ACL and its security, trusted and user extended
// attributes, flushes it and renames it over path; a symbolic link's final
// target is what gets replaced. On any failure, a throw from fill included,
// the old file is untouched, no temporary file is left and the error is the
// system error (one message; under a context message for the attributes,
// see copy_xattrs.h), or fill's own. No directory is created. Under the run
// lock, temporary files that killed runs left for this target go first.
// A final target that is a device, a FIFO or a socket is written in place
// instead, as a plain open for writing would, within a time limit (see
// write_in_place.h).
Status replace_file(const std::string& path, const FillFile& fill);
Status replace_file(const std::string& path, std::string_view content);

// As replace_file(), but always with a named temporary file,
// ".NAME.tmp-PID-N" beside the target: the way replace_file() falls back to
// where the file system has no unnamed files, callable on its own so that it
// can be checked on any file system.
Status replace_file_named(const std::string& path, const FillFile& fill);
Status replace_file_named(const std::string& path, std::string_view content);

}  // namespace devctl
