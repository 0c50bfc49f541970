#include "dataset/core/large_allocator.h"

#include <sys/mman.h>

#include <cstdint>

namespace dorvem {

namespace {

constexpr std::size_t kPage = std::size_t{4} << 10;

std::size_t MappedSize(std::size_t bytes) {
  return (bytes + kPage - 1) / kPage * kPage;
}

}  // namespace

void* MapLargeBlock(std::size_t bytes) {
  if (bytes == 0 || bytes > static_cast<std::size_t>(-1) - kPage) return nullptr;
  void* m = ::mmap(nullptr, MappedSize(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                   -1, 0);
  return m == MAP_FAILED ? nullptr : m;
}

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

void FaultInForWriting(void* p, std::size_t bytes) {
  const auto begin = reinterpret_cast<std::uintptr_t>(p);
  const std::uintptr_t first = (begin + kPage - 1) / kPage * kPage;
  const std::uintptr_t end = (begin + bytes) / kPage * kPage;
  if (end > first)
    (void)::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
}

void UnmapLargeBlock(void* p, std::size_t bytes) {
  if (p != nullptr) ::munmap(p, MappedSize(bytes));
}

}  // namespace dorvem
