#include "dataset/core/large_allocator.h"

#include <sys/mman.h>

#include <cstdint>

namespace dorvem {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t n) {
  return (n + kHugePage - 1) / kHugePage * kHugePage;
}

}  // namespace

void* MapLargeBlock(std::size_t bytes) {
  if (bytes > static_cast<std::size_t>(-1) - 2 * kHugePage) return nullptr;
  const std::size_t size = RoundUp(bytes);
  // A huge page must start on a 2 MiB boundary: map one more, keep the
  // aligned part and give back the rest.
  void* m =
      ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (m == MAP_FAILED) return nullptr;
  auto* base = static_cast<std::uint8_t*>(m);
  const auto address = reinterpret_cast<std::uintptr_t>(base);
  const std::size_t head = (kHugePage - address % kHugePage) % kHugePage;
  if (head > 0) ::munmap(base, head);
  if (kHugePage - head > 0) ::munmap(base + head + size, kHugePage - head);
  (void)::madvise(base + head, size, MADV_HUGEPAGE);
  return base + head;
}

void UnmapLargeBlock(void* p, std::size_t bytes) {
  if (p != nullptr) ::munmap(p, RoundUp(bytes));
}

}  // namespace dorvem
