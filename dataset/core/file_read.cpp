#include "dataset/core/file_read.h"

#include <unistd.h>

#include <cerrno>

namespace dorvem {

namespace {

// Calls `read(p, n, done)` (a read(2)-like call for the n bytes at p, the
// done-th byte onwards) until `size` bytes are read, the file ends or a
// read fails.
template <class ReadCall>
std::size_t ReadLoop(std::uint8_t* p, std::size_t size, int* error, ReadCall read) {
  *error = 0;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = read(p + done, size - done, done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = errno;
      break;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

}  // namespace

std::size_t ReadUpTo(int fd, std::uint8_t* p, std::size_t size, int* error) {
  return ReadLoop(p, size, error,
                  [fd](std::uint8_t* at, std::size_t n, std::size_t) { return ::read(fd, at, n); });
}

std::size_t ReadAtUpTo(int fd, std::uint8_t* p, std::size_t size, std::uint64_t offset,
                       int* error) {
  return ReadLoop(p, size, error, [fd, offset](std::uint8_t* at, std::size_t n, std::size_t done) {
    return ::pread(fd, at, n, static_cast<off_t>(offset + done));
  });
}

}  // namespace dorvem
