// Work spread over the machine's cores, for the one-off passes over a whole
// table (collation sort keys, the orders of a column).
//
// RunParts runs work(part) for part = 0 .. parts - 1, each on its own
// thread (part 0 on the caller's), and waits for all of them. Work must not
// throw; it reports failure by returning false, and RunParts is true only
// when every part succeeded and every thread could be started (a part
// whose thread cannot be started runs on the caller's thread instead).
// ParallelSort sorts with std::sort on each part and merges the parts,
// the last merges cut into pieces so that every core has one; with a
// strict order in which no two elements are equivalent, the result does
// not depend on the number of parts. Tested by parallel_sort_test.cpp.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <new>
#include <vector>

namespace dorvem {

// How many parts to cut `items` items into: one per core (at most 8), and
// one part for fewer than `minPerPart` items a part.
unsigned PartsFor(std::size_t items, std::size_t minPerPart = 16384);

bool RunParts(unsigned parts, const std::function<bool(unsigned part)>& work);

// The half-open range of items of part `part` of `parts` over `items`.
inline std::size_t PartBegin(std::size_t items, unsigned part, unsigned parts) {
  return items * part / parts;
}

// Where the first `m` elements of the merge of sorted [a, b) and [b, c)
// come from: the returned i elements of [a, b) and m - i of [b, c). Ties go
// to [a, b) first, as std::merge takes them. Binary search over i: with
// i too small, the last of the m - i taken from [b, c) is not below the
// next of [a, b).
template <class It, class Less>
std::size_t MergeSplit(It a, It b, It c, std::size_t m, const Less& less) {
  const auto n1 = static_cast<std::size_t>(b - a), n2 = static_cast<std::size_t>(c - b);
  std::size_t lo = m > n2 ? m - n2 : 0, hi = std::min(m, n1);
  while (lo < hi) {
    const std::size_t i = lo + (hi - lo) / 2;
    if (!less(b[static_cast<std::ptrdiff_t>(m - i - 1)], a[static_cast<std::ptrdiff_t>(i)]))
      lo = i + 1;
    else
      hi = i;
  }
  return lo;
}

// Sorts `v` by `less`. When memory for the merge cannot be had it sorts on
// one thread; std::bad_alloc from the small bookkeeping may escape, as from
// any vector operation.
template <class T, class Less>
void ParallelSort(std::vector<T>& v, const Less& less) {
  const unsigned parts = PartsFor(v.size());
  if (parts <= 1) {
    std::sort(v.begin(), v.end(), less);
    return;
  }
  std::vector<std::size_t> bounds(parts + 1);
  for (unsigned p = 0; p <= parts; ++p) bounds[p] = PartBegin(v.size(), p, parts);
  RunParts(parts, [&](unsigned p) {
    std::sort(v.begin() + static_cast<std::ptrdiff_t>(bounds[p]),
              v.begin() + static_cast<std::ptrdiff_t>(bounds[p + 1]), less);
    return true;
  });
  // Merge neighbouring runs pairwise until one is left.
  std::vector<T> buffer;
  try {
    buffer.resize(v.size());
  } catch (const std::bad_alloc&) {
    std::sort(v.begin(), v.end(), less);
    return;
  }
  std::vector<std::size_t> runs = bounds;
  while (runs.size() > 2) {
    std::vector<std::size_t> merged;
    const std::size_t pairs = (runs.size() - 1) / 2;
    // Fewer merges than parts: each merge is cut into pieces of equal
    // output, every piece merged on its own core.
    const std::size_t pieces = std::max<std::size_t>(1, parts / pairs);
    RunParts(static_cast<unsigned>(pairs * pieces), [&](unsigned job) {
      const std::size_t k = job / pieces, piece = job % pieces;
      const auto a = v.begin() + static_cast<std::ptrdiff_t>(runs[2 * k]);
      const auto b = v.begin() + static_cast<std::ptrdiff_t>(runs[2 * k + 1]);
      const auto c = v.begin() + static_cast<std::ptrdiff_t>(runs[2 * k + 2]);
      const auto total = static_cast<std::size_t>(c - a);
      const std::size_t from = total * piece / pieces, to = total * (piece + 1) / pieces;
      const std::size_t i0 = MergeSplit(a, b, c, from, less), i1 = MergeSplit(a, b, c, to, less);
      const auto d = static_cast<std::ptrdiff_t>(i0), e = static_cast<std::ptrdiff_t>(i1);
      std::merge(a + d, a + e, b + static_cast<std::ptrdiff_t>(from) - d,
                 b + static_cast<std::ptrdiff_t>(to) - e,
                 buffer.begin() + static_cast<std::ptrdiff_t>(runs[2 * k] + from), less);
      return true;
    });
    for (std::size_t k = 0; k < pairs; ++k) merged.push_back(runs[2 * k]);
    if ((runs.size() - 1) % 2) {
      // An odd run out keeps its place.
      const std::size_t a = runs[runs.size() - 2], c = runs.back();
      std::copy(v.begin() + static_cast<std::ptrdiff_t>(a),
                v.begin() + static_cast<std::ptrdiff_t>(c),
                buffer.begin() + static_cast<std::ptrdiff_t>(a));
      merged.push_back(a);
    }
    merged.push_back(runs.back());
    v.swap(buffer);
    runs.swap(merged);
  }
}

}  // namespace dorvem
