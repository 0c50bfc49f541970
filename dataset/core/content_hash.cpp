#include "dataset/core/content_hash.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "dataset/core/byte_layout.h"

namespace dorvem {

namespace {

constexpr std::uint64_t kP1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kP2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kP3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t kP4 = 0x85EBCA77C2B2AE63ull;

std::uint64_t Round(std::uint64_t lane, std::uint64_t word) {
  lane += word * kP2;
  lane = std::rotl(lane, 31);
  return lane * kP1;
}

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 33;
  h *= kP2;
  h ^= h >> 29;
  h *= kP3;
  h ^= h >> 32;
  return h;
}

}  // namespace

ContentHash::ContentHash() : lanes_{kP1 + kP2, kP2, 0, 0 - kP1} {}

void ContentHash::Block(const std::uint8_t* p) {
  for (int i = 0; i < 4; ++i) lanes_[i] = Round(lanes_[i], LoadU64(p + 8 * i));
}

void ContentHash::Add(const void* bytes, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  total_ += size;
  if (pendingSize_) {
    const std::size_t take = std::min(size, sizeof pending_ - pendingSize_);
    std::memcpy(pending_ + pendingSize_, p, take);
    pendingSize_ += take;
    p += take;
    size -= take;
    if (pendingSize_ < sizeof pending_) return;
    Block(pending_);
    pendingSize_ = 0;
  }
  for (; size >= 32; p += 32, size -= 32) Block(p);
  if (size) std::memcpy(pending_, p, size);
  pendingSize_ = size;
}

void ContentHash::AddU64(std::uint64_t v) {
  std::uint8_t bytes[8];
  StoreU64(bytes, v);
  Add(bytes, sizeof bytes);
}

std::uint64_t ContentHash::Value() const {
  std::uint64_t h = std::rotl(lanes_[0], 1) + std::rotl(lanes_[1], 7) + std::rotl(lanes_[2], 12) +
                    std::rotl(lanes_[3], 18);
  h += total_;
  std::size_t i = 0;
  for (; i + 8 <= pendingSize_; i += 8)
    h = std::rotl(h ^ Round(0, LoadU64(pending_ + i)), 27) * kP1 + kP4;
  for (; i < pendingSize_; ++i) h = std::rotl(h ^ (pending_[i] * kP1), 11) * kP2;
  return Mix(h);
}

std::uint64_t ContentHash::Of(const void* bytes, std::size_t size) {
  ContentHash h;
  h.Add(bytes, size);
  return h.Value();
}

}  // namespace dorvem
