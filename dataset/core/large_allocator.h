// LargeAllocator: a standard allocator for the engine's big arrays that
// live in std::vector (index entries, sort pairs, check buffers).
//
// Fresh heap memory is faulted in a 4 KiB page at a time on first touch,
// and on a virtual machine each such trap costs more than writing the page:
// an array of a million record numbers took a thousand of them. A block of
// kLargeBlockBytes or more is therefore an anonymous mapping of its own,
// starting on a 2 MiB boundary, whose whole 2 MiB pages are advised to be
// huge pages, so that touching them costs a fault per 2 MiB; the rest after
// the last whole one stays in ordinary pages, so the block takes no more
// memory than it holds. It is not populated in advance: room reserved but
// never written takes none either. Smaller blocks come from operator new.
// Freed mappings go back to the system at once.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace dorvem {

inline constexpr std::size_t kLargeBlockBytes = std::size_t{1} << 20;

// A zero-filled mapping of at least `bytes` bytes advised to use huge
// pages; null when none can be had. Freed with UnmapLargeBlock(p, bytes).
void* MapLargeBlock(std::size_t bytes);
void UnmapLargeBlock(void* p, std::size_t bytes);

template <class T>
struct LargeAllocator {
  using value_type = T;

  LargeAllocator() = default;
  template <class U>
  LargeAllocator(const LargeAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kLargeBlockBytes) return static_cast<T*>(::operator new(bytes));
    void* p = MapLargeBlock(bytes);
    if (p == nullptr) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t n) noexcept {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kLargeBlockBytes)
      ::operator delete(p);
    else
      UnmapLargeBlock(p, bytes);
  }

  template <class U>
  bool operator==(const LargeAllocator<U>&) const noexcept {
    return true;
  }
};

// A vector of a whole table's worth of numbers (record numbers, ranks,
// blob entries) whose storage comes from LargeAllocator.
template <class T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

}  // namespace dorvem
