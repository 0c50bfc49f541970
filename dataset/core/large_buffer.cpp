#include "dataset/core/large_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <utility>

#include "dataset/core/large_allocator.h"

namespace dorvem {

namespace {

constexpr std::size_t kMapThreshold = 1u << 20;  // below this, the heap
constexpr std::size_t kGrowStep = 2u << 20;      // a mapping grows by whole steps

std::size_t RoundUp(std::size_t n) {
  return (n + kGrowStep - 1) / kGrowStep * kGrowStep;
}

std::uint8_t* MapZeroed(std::size_t bytes) {
  void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  // Faulted in at once (large_allocator.h); ordinary pages, for the reason
  // large_allocator.h gives.
  FaultInForWriting(p, bytes);
  return static_cast<std::uint8_t*>(p);
}

}  // namespace

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& o) noexcept {
  if (this != &o) {
    Free();
    data_ = std::exchange(o.data_, nullptr);
    size_ = std::exchange(o.size_, 0);
    reserved_ = std::exchange(o.reserved_, 0);
  }
  return *this;
}

void LargeBuffer::Free() {
  if (data_) {
    if (reserved_)
      ::munmap(data_, reserved_);
    else
      std::free(data_);
  }
  data_ = nullptr;
  size_ = 0;
  reserved_ = 0;
}

void LargeBuffer::ShrinkToFit() {
  if (!reserved_) return;
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t keep = (size_ + page - 1) / page * page;
  if (keep >= reserved_ || keep == 0) return;
  if (::munmap(data_ + keep, reserved_ - keep) == 0) reserved_ = keep;
}

bool LargeBuffer::Resize(std::size_t size) {
  if (size == size_) return true;
  if (size == 0) {
    Free();
    return true;
  }
  if (reserved_ && size <= reserved_) {
    // Shrinking or growing within the mapping: bytes past the old size were
    // zeroed by the kernel or are zeroed here.
    if (size < size_) std::memset(data_ + size, 0, size_ - size);
    size_ = size;
    return true;
  }
  if (size < kMapThreshold && !reserved_) {
    auto* p = static_cast<std::uint8_t*>(std::realloc(data_, size));
    if (!p) return false;
    if (size > size_) std::memset(p + size_, 0, size - size_);
    data_ = p;
    size_ = size;
    return true;
  }
  const std::size_t bytes = RoundUp(size);
  std::uint8_t* p;
  if (reserved_) {
    void* q = ::mremap(data_, reserved_, bytes, MREMAP_MAYMOVE);
    if (q == MAP_FAILED) return false;
    p = static_cast<std::uint8_t*>(q);
    FaultInForWriting(p + reserved_, bytes - reserved_);
  } else {
    p = MapZeroed(bytes);
    if (!p) return false;
    if (data_) {
      std::memcpy(p, data_, size_ < size ? size_ : size);
      std::free(data_);
    }
  }
  data_ = p;
  size_ = size;
  reserved_ = bytes;
  return true;
}

}  // namespace dorvem
