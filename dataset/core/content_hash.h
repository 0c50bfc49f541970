// ContentHash: a 64-bit hash of a stream of bytes, to recognise content
// that was seen before (and damage to what was kept of it). It is not meant
// to withstand someone who crafts collisions.
//
// Bytes are taken eight at a time into four independent lanes, so a long
// stream hashes at several bytes a cycle; the value depends on the bytes
// and their number only, not on how Add splits them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvem {

class ContentHash {
 public:
  ContentHash();
  void Add(const void* bytes, std::size_t size);
  void AddU64(std::uint64_t v);
  std::uint64_t Value() const;

  // The hash of one block of bytes.
  static std::uint64_t Of(const void* bytes, std::size_t size);

 private:
  void Block(const std::uint8_t* p);

  std::uint64_t lanes_[4];
  std::uint8_t pending_[32];
  std::size_t pendingSize_ = 0;
  std::uint64_t total_ = 0;
};

}  // namespace dorvem
