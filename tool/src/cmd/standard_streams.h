#pragma once
// Standard output as part of a command's result: a write that does not reach
// it fails the command instead of passing for success.
#include <string_view>

#include "error/chained_error.h"

namespace devctl {

// Puts /dev/null (read-only) on any of descriptors 0, 1 and 2 that is closed,
// so that no file opened later takes its place and writes to a closed
// standard output or error keep failing (EBADF).
void occupy_closed_standard_fds();

// Writes all of text to standard output, unbuffered. The error is
// "failed to write to standard output" over the system error.
Status print_stdout(std::string_view text);

// Flushes every stdio stream, then closes standard output, where a failure
// of earlier writes may still show. EBADF when nothing was printed, directly
// or through stdio, is no failure: there was nothing to lose.
Status close_stdout();

// The chain form of error and a line feed on standard error.
void print_error_chain(const ChainedError& error);

}  // namespace devctl
