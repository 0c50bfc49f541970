// Test helpers for cache files: their bytes read and written whole, and a
// checksum put back after bytes were changed on purpose.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "dataset/core/byte_layout.h"
#include "dataset/store/rank_cache.h"

namespace dorvem::testing {

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Puts a matching checksum after changed bytes, so that only the change
// itself can make the file unusable.
inline void Reseal(std::vector<std::uint8_t>* bytes) {
  const std::size_t body = bytes->size() - rank_cache::kChecksumSize;
  StoreU64(bytes->data() + body, rank_cache::Checksum(bytes->data(), body));
}

}  // namespace dorvem::testing
