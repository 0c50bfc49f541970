// Little-endian byte-layout helpers, in one place.
//
// Every multi-byte number in a data packet, an expression buffer or a record
// image is little-endian. These helpers load and store such numbers at any
// alignment: LoadU16 .. StoreU64 by width, LoadLE and StoreLE by type (any
// integer type of 1, 2, 4 or 8 bytes, and double as its IEEE bits). ByteSpanReader reads forward
// through a byte range and never reads past its end: a read that does not fit fails and leaves the
// position alone.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace dorvem {

inline std::uint16_t LoadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t LoadU64(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(LoadU32(p)) |
         (static_cast<std::uint64_t>(LoadU32(p + 4)) << 32);
}
inline void StoreU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void StoreU64(std::uint8_t* p, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

template <class T>
inline T LoadLE(const std::uint8_t* p) {
  static_assert(sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4 || sizeof(T) == 8);
  if constexpr (sizeof(T) == 1)
    return std::bit_cast<T>(p[0]);
  else if constexpr (sizeof(T) == 2)
    return std::bit_cast<T>(LoadU16(p));
  else if constexpr (sizeof(T) == 4)
    return std::bit_cast<T>(LoadU32(p));
  else
    return std::bit_cast<T>(LoadU64(p));
}
template <class T>
inline void StoreLE(std::uint8_t* p, T v) {
  static_assert(sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4 || sizeof(T) == 8);
  if constexpr (sizeof(T) == 1)
    p[0] = std::bit_cast<std::uint8_t>(v);
  else if constexpr (sizeof(T) == 2)
    StoreU16(p, std::bit_cast<std::uint16_t>(v));
  else if constexpr (sizeof(T) == 4)
    StoreU32(p, std::bit_cast<std::uint32_t>(v));
  else
    StoreU64(p, std::bit_cast<std::uint64_t>(v));
}

// Appends little-endian numbers and raw bytes to a growing byte vector.
class ByteAppender {
 public:
  explicit ByteAppender(std::vector<std::uint8_t>& out) : out_(out) {}
  void U8(std::uint8_t v) { out_.push_back(v); }
  void U16(std::uint16_t v) {
    std::uint8_t b[2];
    StoreU16(b, v);
    Bytes(b, 2);
  }
  void U32(std::uint32_t v) {
    std::uint8_t b[4];
    StoreU32(b, v);
    Bytes(b, 4);
  }
  void U64(std::uint64_t v) {
    std::uint8_t b[8];
    StoreU64(b, v);
    Bytes(b, 8);
  }
  void Bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    out_.insert(out_.end(), b, b + n);
  }
  std::size_t Size() const { return out_.size(); }

 private:
  std::vector<std::uint8_t>& out_;
};

// Reads forward through [data, data + size). Each Read* returns false, and
// moves nothing, when fewer bytes remain than the read needs.
class ByteSpanReader {
 public:
  ByteSpanReader() = default;
  ByteSpanReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t Position() const { return pos_; }
  std::size_t Size() const { return size_; }
  std::size_t Remaining() const { return size_ - pos_; }
  const std::uint8_t* Here() const { return data_ + pos_; }

  // Moves to an absolute offset; false when it lies beyond the end.
  bool Seek(std::size_t offset) {
    if (offset > size_) return false;
    pos_ = offset;
    return true;
  }
  bool Skip(std::size_t n) {
    if (n > Remaining()) return false;
    pos_ += n;
    return true;
  }
  bool ReadU8(std::uint8_t& v) {
    if (Remaining() < 1) return false;
    v = data_[pos_++];
    return true;
  }
  bool ReadU16(std::uint16_t& v) {
    if (Remaining() < 2) return false;
    v = LoadU16(data_ + pos_);
    pos_ += 2;
    return true;
  }
  bool ReadU32(std::uint32_t& v) {
    if (Remaining() < 4) return false;
    v = LoadU32(data_ + pos_);
    pos_ += 4;
    return true;
  }
  // Copies n bytes out; false when they are not all there.
  bool ReadBytes(void* out, std::size_t n) {
    if (n > Remaining()) return false;
    if (n) std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
  }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
};

}  // namespace dorvem
