#include "fs/file_read.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

#include "fs/unique_fd.h"

namespace devctl {
namespace {

// For files that claim no size; one more byte than claimed is always asked
// for, so that the end shows without growing.
constexpr size_t kUnknownSize = 64 << 10;

// Larger input is no policy or config file; refusing it keeps a link to an
// endless device or a huge sparse file from taking all memory.
constexpr size_t kMaxFileSize = size_t{256} << 20;

ChainedError too_large() { return make_error("file is larger than 256 MiB"); }

// Private anonymous memory, every page touched in one call instead of one
// fault per page. Never the file itself: a file cut short while mapped
// would kill the process at the first access past its new end.
char* map_touched(size_t bytes) {
    void* data = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (data == MAP_FAILED) throw std::bad_alloc();
    return static_cast<char*>(data);
}

}  // namespace

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

FileBytes::FileBytes(FileBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

FileBytes::~FileBytes() {
    if (data_) ::munmap(data_, capacity_);
}

void FileBytes::grow() {
    const size_t capacity = std::min(capacity_ * 2, kMaxFileSize + 1);
    void* data = ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
    if (data == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<char*>(data);
    capacity_ = capacity;
}

Result<FileBytes> read_file(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return fail(system_error(errno));
    struct stat st {};
    const bool sized = ::fstat(fd.get(), &st) == 0 && st.st_size > 0;
    if (sized && static_cast<uintmax_t>(st.st_size) > kMaxFileSize) return fail(too_large());
    FileBytes bytes;
    bytes.capacity_ = sized ? static_cast<size_t>(st.st_size) + 1 : kUnknownSize;
    bytes.data_ = map_touched(bytes.capacity_);
    for (;;) {
        if (bytes.size_ == bytes.capacity_) {
            // One byte past the bound is all it takes to know the file is too large.
            if (bytes.size_ > kMaxFileSize) return fail(too_large());
            bytes.grow();
        }
        const ssize_t n = ::read(fd.get(), bytes.data_ + bytes.size_, bytes.capacity_ - bytes.size_);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(system_error(errno));
        if (n == 0) return bytes;
        bytes.size_ += static_cast<size_t>(n);
    }
}

}  // namespace devctl
