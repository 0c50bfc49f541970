// Both ways of counting set bits agree with counting them one by one.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "dataset/core/bit_count.h"

namespace dorvem {
namespace {

TEST(BitCountTest, BothCountsAgreeWithCountingBitByBit) {
  std::mt19937_64 rng(64);
  std::vector<std::uint64_t> words = {0, ~std::uint64_t{0}, 1, std::uint64_t{1} << 63,
                                      0x8000000000000001u};
  for (int i = 0; i < 1000; ++i) words.push_back(rng() & rng());  // sparse ones too
  for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{5}, words.size()}) {
    std::size_t expected = 0;
    for (std::size_t i = 0; i < n; ++i)
      for (int b = 0; b < 64; ++b) expected += (words[i] >> b) & 1;
    EXPECT_EQ(CountSetBits(words.data(), n), expected) << n;
    EXPECT_EQ(CountSetBitsPortable(words.data(), n), expected) << n;
  }
}

}  // namespace
}  // namespace dorvem
