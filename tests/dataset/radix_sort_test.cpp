// RadixSortBy64 against std::stable_sort: keys spread over every byte, keys
// that differ in one byte only (the passes skipped for the others), and
// many equal keys, whose elements must keep their order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "dataset/core/radix_sort.h"

namespace dorvem {
namespace {

struct Item {
  std::uint64_t key;
  std::uint32_t place;  // where it stood before the sort
  bool operator==(const Item&) const = default;
};

TEST(RadixSortTest, SortsStablyAsStdStableSortDoes) {
  std::mt19937_64 random(11);
  const std::vector<std::uint64_t (*)(std::mt19937_64&)> spreads = {
      [](std::mt19937_64& r) { return static_cast<std::uint64_t>(r()); },
      [](std::mt19937_64& r) { return (r() % 5) << 40 | 0x1234; },
      [](std::mt19937_64& r) { return (r() % 3) * 0x0101010101010101u; },
  };
  for (const auto& spread : spreads) {
    std::vector<Item> items(5000);
    for (std::uint32_t i = 0; i < items.size(); ++i) items[i] = Item{spread(random), i};
    std::vector<Item> expected = items;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Item& a, const Item& b) { return a.key < b.key; });
    ASSERT_TRUE(RadixSortBy64(items, [](const Item& e) { return e.key; }));
    EXPECT_EQ(items, expected);
  }
}

}  // namespace
}  // namespace dorvem
