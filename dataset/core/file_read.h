// Reading a file descriptor until a buffer is full: the read loops of the
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

// The same from byte `offset` of `fd`, leaving its file position alone.
std::size_t ReadAtUpTo(int fd, std::uint8_t* p, std::size_t size, std::uint64_t offset, int* error);

}  // namespace dorvem
