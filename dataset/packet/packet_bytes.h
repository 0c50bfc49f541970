// PacketBytes: the bytes of one data packet, owned.
//
// A packet arrives as an ordinary byte vector (tools, tests, text packets
// translated to the binary form), as a LargeBuffer that a file was read
// into, or as a read-only mapping of the file itself (opening a dataset),
// which keeps no private copy of the bytes at all. Whoever holds the bytes
// owns them; the packet reader frees them after the last row, unless the
// table keeps them for the blob values that point into them.
//
// A packet read from a file also carries the file's identity (PacketSource),
// by which the table recognises what it may keep between runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "dataset/core/large_buffer.h"
#include "dataset/core/mapped_file.h"

namespace dorvem {

// The file a packet was read from: its absolute path, size in bytes and
// modification time (nanoseconds since the epoch), and the device, inode and
// change time (which every write and every rename into the place changes,
// and no program can set back). An empty path means the packet came from no
// file. `cacheFolder` is where what is computed from
// the file may be kept between runs, as the dataset's owner chose it (an
// absolute path); empty: nothing is kept.
struct PacketSource {
  std::string path;
  std::uint64_t size = 0;
  std::int64_t mtimeNs = 0;
  std::string cacheFolder;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t ctimeNs = 0;
  bool operator==(const PacketSource&) const = default;
};

class PacketBytes {
 public:
  PacketBytes() = default;
  PacketBytes(std::vector<std::uint8_t>&& bytes) : vector_(std::move(bytes)) {}  // NOLINT
  PacketBytes(const std::vector<std::uint8_t>& bytes) : vector_(bytes) {}        // NOLINT
  explicit PacketBytes(LargeBuffer&& bytes) : buffer_(std::move(bytes)), form_(Form::kBuffer) {}
  PacketBytes(MappedFile&& file, PacketSource source)
      : file_(std::move(file)), source_(std::move(source)), form_(Form::kMapped) {}

  const std::uint8_t* data() const {
    return form_ == Form::kBuffer   ? buffer_.data()
           : form_ == Form::kMapped ? file_.data()
                                    : vector_.data();
  }
  std::size_t size() const {
    return form_ == Form::kBuffer   ? buffer_.size()
           : form_ == Form::kMapped ? file_.size()
                                    : vector_.size();
  }
  bool empty() const { return size() == 0; }
  std::uint8_t operator[](std::size_t i) const { return data()[i]; }
  std::span<const std::uint8_t> span() const { return {data(), size()}; }

  const PacketSource& Source() const { return source_; }

  // True for the mapped form, whose bytes another program can truncate or
  // rewrite under the reader (mapped_file.h).
  bool IsMapped() const { return form_ == Form::kMapped; }
  // True when the `n` bytes at `at` lie in this packet.
  bool Contains(const std::uint8_t* at, std::size_t n) const {
    return at >= data() && n <= size() && static_cast<std::size_t>(at - data()) <= size() - n;
  }
  // Copies the `n` bytes at `at` (in this packet) into `out`; a mapped file
  // is read through its descriptor and never faults. False when the file
  // was changed in place since it was mapped (MappedFile::CopyOut).
  bool CopyOut(const std::uint8_t* at, std::size_t n, void* out) const {
    if (form_ == Form::kMapped) return file_.CopyOut(at, n, out);
    std::memcpy(out, at, n);
    return true;
  }

  // For a mapped file: lets the system take back the pages read so far (the
  // bytes stay readable). Nothing for the other forms.
  void DropResidentPages() const { file_.DropResidentPages(); }

  // Frees the bytes.
  void clear() {
    std::vector<std::uint8_t>().swap(vector_);
    buffer_.Free();
    file_.Unmap();
    form_ = Form::kVector;
  }

 private:
  enum class Form { kVector, kBuffer, kMapped };

  std::vector<std::uint8_t> vector_;
  LargeBuffer buffer_;
  MappedFile file_;
  PacketSource source_;
  Form form_ = Form::kVector;
};

}  // namespace dorvem
