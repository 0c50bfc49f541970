// LargeAllocator: a standard allocator for the engine's big arrays that
// live in std::vector (index entries, sort pairs, check buffers).
//
// A block of kLargeBlockBytes or more is an anonymous mapping of its own,
// so that freeing it gives the memory back to the system at once; smaller
// blocks come from operator new. The mapping uses ordinary pages, faulted in
// on first touch: room reserved but never written takes no memory. Huge
// pages are not asked for: on a virtual machine that hands idle memory back
// to its host, a fresh huge page costs several times what its 512 ordinary
// pages do (measured: 40 MiB in 60 to 120 ms against 14 to 19 ms).
#pragma once

#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace dorvem {

inline constexpr std::size_t kLargeBlockBytes = std::size_t{1} << 20;

// A zero-filled mapping of at least `bytes` bytes; null when none can be
// had. Freed with UnmapLargeBlock(p, bytes).
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

// LargeAllocator whose vectors leave the elements that resize(n) or a
// vector(n) adds unset, for arrays written in full right after: a search's
// sort pairs are made anew on every keystroke, and zeroing them first was
// a pass of its own over memory the build then writes.
template <class T>
struct UnsetLargeAllocator : LargeAllocator<T> {
  using value_type = T;

  UnsetLargeAllocator() = default;
  template <class U>
  UnsetLargeAllocator(const UnsetLargeAllocator<U>&) noexcept {}

  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... A>
  void construct(U* p, A&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<A>(args)...);
  }
};

// Has the kernel fault in the pages wholly inside [p, p + bytes) with one
// call, for memory about to be written in full. On a virtual machine a
// trap per page costs about twice as much: 4 MiB of fresh memory took 2.3
// to 2.9 ms written page by page, 1.2 to 1.6 ms faulted in first. Kernels
// without the advice fault on first touch as usual.
void FaultInForWriting(void* p, std::size_t bytes);

// v.resize(n), for elements about to be written in full: when the elements
// added take a large block, their pages are faulted in at once first. The
// capacity grows as resize would grow it.
template <class T, class Allocator>
void ResizeToWrite(std::vector<T, Allocator>& v, std::size_t n) {
  const std::size_t old = v.size();
  if (n > old && (n - old) * sizeof(T) >= kLargeBlockBytes) {
    if (n > v.capacity()) v.reserve(std::max(n, 2 * old));
    FaultInForWriting(v.data() + old, (n - old) * sizeof(T));
  }
  v.resize(n);
}

}  // namespace dorvem
