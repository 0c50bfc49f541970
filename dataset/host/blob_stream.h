// TClientBlobStream: a copy of one blob value held in memory, read like a
// stream. It is filled once, when it is created, from the active record of
// the blob field's dataset; it owns its bytes and outlives any later move.
#pragma once

#include <cstdint>
#include <vector>

namespace dorvem {

class TClientBlobStream {
 public:
  explicit TClientBlobStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }
  std::int64_t Position() const { return static_cast<std::int64_t>(pos_); }
  void Seek(std::int64_t pos) {
    pos_ = pos < 0 ? 0 : pos > Size() ? bytes_.size() : static_cast<std::size_t>(pos);
  }
  // Copies up to `count` bytes from the position; returns the number copied.
  std::size_t Read(void* out, std::size_t count);
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

}  // namespace dorvem
