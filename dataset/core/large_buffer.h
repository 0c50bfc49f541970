// LargeBuffer: zero-filled memory for the engine's big arrays (packet bytes,
// record columns, blob chunks).
//
// Large sizes are anonymous mappings, which the kernel hands out
// zero-filled, faulted in with one call rather than a trap per page (see
// large_buffer.cpp). Small sizes come from the ordinary heap. A buffer owns
// its memory; it is movable, not copyable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvem {

class LargeBuffer {
 public:
  LargeBuffer() = default;
  ~LargeBuffer() { Free(); }
  LargeBuffer(LargeBuffer&& o) noexcept { *this = static_cast<LargeBuffer&&>(o); }
  LargeBuffer& operator=(LargeBuffer&& o) noexcept;
  LargeBuffer(const LargeBuffer&) = delete;
  LargeBuffer& operator=(const LargeBuffer&) = delete;

  // Makes the buffer `size` bytes long, keeping the first min(old, new)
  // bytes and zero-filling the rest. Returns false (leaving the buffer as it
  // was) when memory cannot be had.
  bool Resize(std::size_t size);

  // Gives back the memory beyond size() that growing reserved (whole pages
  // of a mapping; nothing for a heap block). The contents stay.
  void ShrinkToFit();

  // Gives up the memory.
  void Free();

  std::uint8_t* data() { return data_; }
  const std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

 private:
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t reserved_ = 0;  // bytes mapped, or 0 when from the heap
};

}  // namespace dorvem
