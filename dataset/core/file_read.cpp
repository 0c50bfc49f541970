#include "dataset/core/file_read.h"

#include <unistd.h>

#include <cerrno>

namespace dorvem {

std::size_t ReadUpTo(int fd, std::uint8_t* p, std::size_t size, int* error) {
  *error = 0;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, p + done, size - done);
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

std::size_t ReadAtUpTo(int fd, std::uint8_t* p, std::size_t size, std::uint64_t offset,
                       int* error) {
  *error = 0;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, p + done, size - done, static_cast<off_t>(offset + done));
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

}  // namespace dorvem
