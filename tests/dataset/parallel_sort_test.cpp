// ParallelSort against std::sort: the parts' runs and the merges cut into
// pieces must lose, repeat or misplace no element, whatever the values'
// spread (distinct, few distinct, already sorted, reversed).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "dataset/core/parallel.h"

namespace dorvem {
namespace {

TEST(ParallelSortTest, SortsAsStdSortDoes) {
  // Enough values for several parts on any machine with two cores.
  constexpr std::size_t kCount = 200001;
  std::mt19937 random(7);
  std::vector<std::vector<std::uint32_t>> inputs(4, std::vector<std::uint32_t>(kCount));
  for (std::size_t i = 0; i < kCount; ++i) {
    inputs[0][i] = static_cast<std::uint32_t>(random());
    inputs[1][i] = static_cast<std::uint32_t>(random() % 3);
    inputs[2][i] = static_cast<std::uint32_t>(i);
    inputs[3][i] = static_cast<std::uint32_t>(kCount - i);
  }
  for (std::vector<std::uint32_t>& v : inputs) {
    std::vector<std::uint32_t> expected = v;
    std::sort(expected.begin(), expected.end());
    ParallelSort(v, [](std::uint32_t a, std::uint32_t b) { return a < b; });
    EXPECT_EQ(v, expected);
  }
}

TEST(ParallelSortTest, MergeSplitTakesTiesFromTheFirstRunFirst) {
  // Runs {1, 2, 2, 5} and {2, 2, 3}: the merge is 1 2a 2a 2b 2b 3 5.
  const std::vector<int> v = {1, 2, 2, 5, 2, 2, 3};
  const auto less = [](int a, int b) { return a < b; };
  const std::vector<std::size_t> fromFirst = {0, 1, 2, 3, 3, 3, 3, 4};
  for (std::size_t m = 0; m <= v.size(); ++m)
    EXPECT_EQ(MergeSplit(v.begin(), v.begin() + 4, v.end(), m, less), fromFirst[m]) << m;
}

}  // namespace
}  // namespace dorvem
