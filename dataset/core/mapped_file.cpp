#include "dataset/core/mapped_file.h"

#include <sys/mman.h>

#include <utility>

namespace dorvem {

MappedFile& MappedFile::operator=(MappedFile&& o) noexcept {
  if (this != &o) {
    Unmap();
    data_ = std::exchange(o.data_, nullptr);
    size_ = std::exchange(o.size_, 0);
  }
  return *this;
}

bool MappedFile::Map(int fd, std::size_t size) {
  Unmap();
  if (size == 0) return false;
  void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (p == MAP_FAILED) return false;
  // A table reads its packet once from start to end.
  (void)::madvise(p, size, MADV_SEQUENTIAL);
  data_ = static_cast<const std::uint8_t*>(p);
  size_ = size;
  return true;
}

void MappedFile::Unmap() {
  if (data_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
  data_ = nullptr;
  size_ = 0;
}

void MappedFile::DropResidentPages() const {
  if (!data_) return;
  // The mapping is read-only and private, so no page holds a change: the
  // pages go back to the page cache, and reading them again refills them.
  void* p = const_cast<std::uint8_t*>(data_);
  (void)::madvise(p, size_, MADV_DONTNEED);
  (void)::madvise(p, size_, MADV_RANDOM);
}

}  // namespace dorvem
