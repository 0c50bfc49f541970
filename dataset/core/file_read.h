// Reading a file descriptor until a buffer is full: the one read loop of the
// engine's file readers and of cdstool. Interrupted reads are retried; an
// early end (a file that shrank while being read) is not an error.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvem {

// Reads from `fd` into `p` until `size` bytes are read, the file ends, or a
// read fails. Returns the number of bytes read; `*error` is the failing
// read's errno, or 0 when none failed.
std::size_t ReadUpTo(int fd, std::uint8_t* p, std::size_t size, int* error);

}  // namespace dorvem
