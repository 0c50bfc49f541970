// Big arrays in mappings of their own: a vector keeps its values while it
// grows from the heap into a mapping and back, and fresh mapped room reads
// as zeros.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "dataset/core/large_allocator.h"

namespace dorvem {
namespace {

using BigVector = std::vector<std::uint32_t, LargeAllocator<std::uint32_t>>;

TEST(LargeAllocatorTest, VectorKeepsItsValuesAcrossTheThreshold) {
  BigVector v;
  const std::uint32_t n = 3u << 20;  // 12 MiB of values, grown one by one
  for (std::uint32_t i = 0; i < n; ++i) v.push_back(i * 2654435761u);
  ASSERT_EQ(v.size(), n);
  for (std::uint32_t i = 0; i < n; i += 4099) ASSERT_EQ(v[i], i * 2654435761u) << i;
  EXPECT_EQ(v.back(), (n - 1) * 2654435761u);

  v.resize(10);  // back into the heap
  v.shrink_to_fit();
  EXPECT_EQ(v, (BigVector{0u, 2654435761u, 2u * 2654435761u, 3u * 2654435761u, 4u * 2654435761u,
                          5u * 2654435761u, 6u * 2654435761u, 7u * 2654435761u, 8u * 2654435761u,
                          9u * 2654435761u}));
}

TEST(LargeAllocatorTest, MappedBlocksAreZeroed) {
  for (const std::size_t bytes : {kLargeBlockBytes, (std::size_t{5} << 20) + 3}) {
    SCOPED_TRACE(bytes);
    auto* p = static_cast<std::uint8_t*>(MapLargeBlock(bytes));
    ASSERT_NE(p, nullptr);
    std::size_t nonZero = 0;
    for (std::size_t i = 0; i < bytes; ++i) nonZero += p[i] != 0;
    EXPECT_EQ(nonZero, 0u);
    p[0] = p[bytes - 1] = 0xA5;  // the whole size is writable
    UnmapLargeBlock(p, bytes);
  }
  EXPECT_EQ(MapLargeBlock(static_cast<std::size_t>(-1)), nullptr);
}

}  // namespace
}  // namespace dorvem
