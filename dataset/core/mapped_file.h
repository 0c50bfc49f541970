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
// A file that another program truncates or rewrites while it is mapped
// takes its bytes with it: a page beyond the new end reads as zeros
// (mapping_fault_guard.h) and Faulted() tells so. So the mapping is only
// read while the caller expects the file to stay as it is (loading a table,
// a few seconds), and checked for faults after; bytes wanted later (memos
// and pictures) are copied with CopyOut, which reads the file through a
// descriptor of its own instead of the memory, and tells when the file is
// no longer the one mapped.
//
// A mapping owns its address range and a descriptor of the file; it is
// movable, not copyable, and unmaps and closes when destroyed. The caller's
// descriptor may be closed once the file is mapped.
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

  // Maps the first `size` bytes of the open file `fd` read-only, and keeps
  // a descriptor of it with its size and modification time. False (and
  // errno set) when the system refuses; `size` must be at least 1.
  bool Map(int fd, std::size_t size);
  void Unmap();

  // True when the `n` bytes at `at` lie inside the mapping.
  bool Contains(const std::uint8_t* at, std::size_t n) const {
    return data_ != nullptr && at >= data_ && n <= size_ &&
           static_cast<std::size_t>(at - data_) <= size_ - n;
  }
  // Copies the `n` bytes at `at` (inside the mapping) into `out` from the
  // file itself, never faulting. False, with `out` unspecified, when the
  // file's size or modification time differ from when it was mapped (it
  // was rewritten or truncated in place) or it cannot be read whole.
  bool CopyOut(const std::uint8_t* at, std::size_t n, void* out) const;

  // Lets the system take back the pages touched so far; the bytes stay
  // readable and unchanged.
  void DropResidentPages() const;

  // True when a read of the mapping met a page past the file's end (the
  // file was truncated in place since it was mapped) and got zeros.
  bool Faulted() const;
  // How many pages of all mappings in this process read as zeros so far;
  // what a reader compares before and after reading a mapping it no longer
  // holds.
  static std::uint64_t FaultCount();

  const std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  int fd_ = -1;     // the mapped file, for CopyOut
  int guard_ = -1;  // the slot watching the mapping for faults
  std::int64_t fileSize_ = 0;
  std::int64_t mtimeNs_ = 0;
};

}  // namespace dorvem
