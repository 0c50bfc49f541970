// Work spread over the machine's cores, for the one-off passes over a whole
// table (collation sort keys, the orders of a column).
//
// RunParts runs work(part) for part = 0 .. parts - 1, each on its own
// thread (part 0 on the caller's), and waits for all of them. Work must not
// throw; it reports failure by returning false, and RunParts is true only
// when every part succeeded and every thread could be started (a part
// whose thread cannot be started runs on the caller's thread instead).
// ParallelSort sorts with std::sort on each part and merges the parts;
// with a strict order in which no two elements are equivalent, the result
// does not depend on the number of parts.
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
    RunParts(static_cast<unsigned>(pairs), [&](unsigned k) {
      const std::size_t a = runs[2 * k], b = runs[2 * k + 1], c = runs[2 * k + 2];
      std::merge(
          v.begin() + static_cast<std::ptrdiff_t>(a), v.begin() + static_cast<std::ptrdiff_t>(b),
          v.begin() + static_cast<std::ptrdiff_t>(b), v.begin() + static_cast<std::ptrdiff_t>(c),
          buffer.begin() + static_cast<std::ptrdiff_t>(a), less);
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
