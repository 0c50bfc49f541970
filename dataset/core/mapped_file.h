// MappedFile: the bytes of a file mapped read-only into memory.
//
// Opening a large data file maps it instead of copying it: the bytes are
// read from the page cache on first touch and never written, so the process
// keeps no private copy of them. Pages a reader has touched count as
// resident until DropResidentPages gives them back (they stay in the page
// cache; the next touch maps them again without reading the disk), which is
// how a loaded table keeps its memo and picture bytes where they lie without
// holding the whole file resident.
//
// A mapping owns its address range; it is movable, not copyable, and unmaps
// when destroyed. The file may be closed once it is mapped.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvem {

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile() { Unmap(); }
  MappedFile(MappedFile&& o) noexcept { *this = static_cast<MappedFile&&>(o); }
  MappedFile& operator=(MappedFile&& o) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Maps the first `size` bytes of the open file `fd` read-only. False (and
  // errno set) when the system refuses; `size` must be at least 1.
  bool Map(int fd, std::size_t size);
  void Unmap();

  // Lets the system take back the pages touched so far; the bytes stay
  // readable and unchanged.
  void DropResidentPages() const;

  const std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace dorvem
