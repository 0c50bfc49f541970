#include "dataset/core/bit_count.h"

namespace dorvem {

namespace {

#if defined(__x86_64__) && defined(__GNUC__)
#define DORVEM_HAS_POPCNT_PATH 1
__attribute__((target("popcnt"))) std::size_t CountWithPopcnt(const std::uint64_t* words,
                                                              std::size_t n) {
  std::size_t total = 0;
  for (std::size_t i = 0; i < n; ++i)
    total += static_cast<std::size_t>(__builtin_popcountll(words[i]));
  return total;
}
#endif

}  // namespace

std::size_t CountSetBitsPortable(const std::uint64_t* words, std::size_t n) {
  std::size_t total = 0;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint64_t w = words[i];
    w -= (w >> 1) & 0x5555555555555555u;
    w = (w & 0x3333333333333333u) + ((w >> 2) & 0x3333333333333333u);
    w = (w + (w >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    total += static_cast<std::size_t>((w * 0x0101010101010101u) >> 56);
  }
  return total;
}

std::size_t CountSetBits(const std::uint64_t* words, std::size_t n) {
#ifdef DORVEM_HAS_POPCNT_PATH
  static const bool hasPopcnt = __builtin_cpu_supports("popcnt");
  if (hasPopcnt) return CountWithPopcnt(words, n);
#endif
  return CountSetBitsPortable(words, n);
}

}  // namespace dorvem
