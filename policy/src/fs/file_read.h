#pragma once
// Whole-file reading.
#include <cstddef>
#include <string>
#include <string_view>

#include "error/chained_error.h"

namespace devctl {

// True when stat() following links succeeds.
bool file_exists(const std::string& path);

// A file's bytes in memory of their own (an anonymous mapping), given back
// to the system as soon as this is destroyed.
class FileBytes {
public:
    FileBytes() = default;
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&&) = delete;
    ~FileBytes();

    std::string_view view() const { return {data_, size_}; }
    // Implicit, so the bytes go straight to a parser.
    operator std::string_view() const { return view(); }  // NOLINT

private:
    friend Result<FileBytes> read_file(const std::string& path);
    void grow();

    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// The whole file; the error is the system error (one message), or "file is
// larger than 256 MiB". A file that claims more than that is refused before
// anything is read. Memory for the size the file claims is taken, already
// touched, in one call; a file that turns out longer (or claims no size, as
// /proc files, devices and pipes do) is read on into doubled memory, never
// more than 256 MiB and one byte: that byte read is the refusal. Running out
// of memory throws std::bad_alloc, as a string would.
Result<FileBytes> read_file(const std::string& path);

}  // namespace devctl
