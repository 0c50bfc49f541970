#include "dataset/core/large_allocator.h"

#include <sys/mman.h>

#include <cstdint>

namespace dorvem {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kPage = std::size_t{4} << 10;

std::size_t MappedSize(std::size_t bytes) {
  return (bytes + kPage - 1) / kPage * kPage;
}

}  // namespace

void* MapLargeBlock(std::size_t bytes) {
  if (bytes == 0 || bytes > static_cast<std::size_t>(-1) - 2 * kHugePage) return nullptr;
  const std::size_t size = MappedSize(bytes);
  // A huge page must start on a 2 MiB boundary: map 2 MiB more, keep the
  // aligned part and give back the rest.
  void* m =
      ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (m == MAP_FAILED) return nullptr;
  auto* base = static_cast<std::uint8_t*>(m);
  const auto address = reinterpret_cast<std::uintptr_t>(base);
  const std::size_t head = (kHugePage - address % kHugePage) % kHugePage;
  if (head > 0) ::munmap(base, head);
  ::munmap(base + head + size, kHugePage - head);
  // Only the whole 2 MiB pages within the block are advised: a huge page
  // over its end would hold up to 2 MiB that nobody asked for.
  const std::size_t whole = bytes / kHugePage * kHugePage;
  if (whole > 0) (void)::madvise(base + head, whole, MADV_HUGEPAGE);
  return base + head;
}

void UnmapLargeBlock(void* p, std::size_t bytes) {
  if (p != nullptr) ::munmap(p, MappedSize(bytes));
}

}  // namespace dorvem
