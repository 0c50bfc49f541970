#include "dataset/core/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "dataset/core/file_read.h"
#include "dataset/core/mapping_fault_guard.h"

namespace dorvem {

MappedFile& MappedFile::operator=(MappedFile&& o) noexcept {
  if (this != &o) {
    Unmap();
    data_ = std::exchange(o.data_, nullptr);
    size_ = std::exchange(o.size_, 0);
    fd_ = std::exchange(o.fd_, -1);
    guard_ = std::exchange(o.guard_, -1);
    fileSize_ = o.fileSize_;
    mtimeNs_ = o.mtimeNs_;
  }
  return *this;
}

bool MappedFile::Map(int fd, std::size_t size) {
  Unmap();
  if (size == 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (own < 0) return false;
  void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (p == MAP_FAILED) {
    const int error = errno;
    ::close(own);
    errno = error;
    return false;
  }
  fd_ = own;
  fileSize_ = st.st_size;
  mtimeNs_ = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  // A table reads its packet once from start to end.
  (void)::madvise(p, size, MADV_SEQUENTIAL);
  data_ = static_cast<const std::uint8_t*>(p);
  size_ = size;
  guard_ = mapping_fault_guard::Watch(p, size);
  return true;
}

void MappedFile::Unmap() {
  mapping_fault_guard::Forget(guard_);
  guard_ = -1;
  if (data_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
  if (fd_ >= 0) ::close(fd_);
  data_ = nullptr;
  size_ = 0;
  fd_ = -1;
}

bool MappedFile::CopyOut(const std::uint8_t* at, std::size_t n, void* out) const {
  if (!Contains(at, n) || fd_ < 0) return false;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || st.st_size != fileSize_ ||
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec != mtimeNs_)
    return false;
  int error = 0;
  return ReadAtUpTo(fd_, static_cast<std::uint8_t*>(out), n, static_cast<std::uint64_t>(at - data_),
                    &error) == n;
}

bool MappedFile::Faulted() const {
  return mapping_fault_guard::Faulted(guard_);
}

std::uint64_t MappedFile::FaultCount() {
  return mapping_fault_guard::FaultCount();
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
