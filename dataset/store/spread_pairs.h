// Which neighbour pairs of a kept order a check compares.
//
// An order read back from the cache folder is checked against the values
// it orders, pair of neighbours by pair. A wrong order (reversed, shuffled,
// shifted) fails nearly every pair, so for a long one a few thousand
// evenly spread pairs find it as surely as all of them, at a small part of
// the cost; the start is random, so a planted order cannot know which pairs
// are asked.
#pragma once

#include <cstddef>

namespace dorvem {

// The most pairs a check compares: a few milliseconds of collator calls, or
// of values fetched from all over a column.
inline constexpr std::size_t kCheckedPairs = 16384;

// Pairs first, first + stride, first + 2 * stride ... below `pairs`: every
// pair (0, 1) when there are at most `most`, otherwise a stride of
// pairs / most from a random start below it.
struct SpreadPairs {
  std::size_t first = 0;
  std::size_t stride = 1;
};
SpreadPairs PickSpreadPairs(std::size_t pairs, std::size_t most = kCheckedPairs);

}  // namespace dorvem
