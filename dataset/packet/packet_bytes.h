// PacketBytes: the bytes of one data packet, owned.
//
// A packet arrives either as an ordinary byte vector (tools, tests, text
// packets translated to the binary form) or as a LargeBuffer that a whole
// file was read into (opening a dataset), which spares filling hundreds of
// megabytes with zeros only to overwrite them. Whoever holds the bytes owns
// them; the packet reader frees them after the last row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "dataset/core/large_buffer.h"

namespace dorvem {

class PacketBytes {
 public:
  PacketBytes() = default;
  PacketBytes(std::vector<std::uint8_t>&& bytes) : vector_(std::move(bytes)) {}  // NOLINT
  PacketBytes(const std::vector<std::uint8_t>& bytes) : vector_(bytes) {}        // NOLINT
  explicit PacketBytes(LargeBuffer&& bytes) : buffer_(std::move(bytes)), large_(true) {}

  const std::uint8_t* data() const { return large_ ? buffer_.data() : vector_.data(); }
  std::size_t size() const { return large_ ? buffer_.size() : vector_.size(); }
  bool empty() const { return size() == 0; }
  std::uint8_t operator[](std::size_t i) const { return data()[i]; }
  std::span<const std::uint8_t> span() const { return {data(), size()}; }

  // Frees the bytes.
  void clear() {
    std::vector<std::uint8_t>().swap(vector_);
    buffer_.Free();
    large_ = false;
  }

 private:
  std::vector<std::uint8_t> vector_;
  LargeBuffer buffer_;
  bool large_ = false;
};

}  // namespace dorvem
