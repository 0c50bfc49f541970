// The sort of an index's entries array (used when an index is built by
// appending every record and sorting once).
//
// Records with equal keys are observable in the order this sort leaves
// them, so the algorithm is fixed to the last detail: a quicksort whose
// pivot is a median of three, partitioning between sentinels, recursing
// into the smaller side and leaving parts of 10 entries or fewer alone,
// followed by one straight insertion pass over the whole array. It is not
// stable: ten equal keys keep their order (only the insertion pass runs),
// eleven or more may not.
//
// The functions work on any entry type T with a strict "less" that also
// orders the two sentinels: the caller puts the smallest value in slot 0
// and the largest in slot n + 1 before sorting slots 1..n. Any move of an
// entry is a move of the whole T, so sorting (key, record) pairs by key
// gives the same permutation as sorting records by a comparator on keys.
#pragma once

#include <cstdint>
#include <utility>

namespace dorvem {

// Parts of this many entries or fewer are left to the insertion pass.
inline constexpr std::int64_t kInsertionPartMax = 10;

// One partition step of quicksort over slots lo..hi: puts a median of three
// into slot lo as the pivot, partitions between the sentinels (or the
// entries just outside lo..hi, which a previous step left there and which
// are not smaller, respectively not greater, than anything inside), and
// moves the pivot to its final slot, which it returns. Afterwards no entry
// of lo..j-1 is greater than the pivot and none of j+1..hi is smaller.
template <class T, class Less>
std::int64_t PartitionEntries(T* e, std::int64_t lo, std::int64_t hi, const Less& less) {
  const std::int64_t mid = lo + (hi - lo) / 2;
  if (hi - lo <= 3) {
    std::swap(e[lo], e[mid]);
  } else {
    // Median of three into slot lo.
    if (less(e[hi], e[lo])) std::swap(e[lo], e[hi]);
    if (less(e[lo], e[mid])) {
      std::swap(e[lo], e[mid]);
      if (less(e[hi], e[lo])) std::swap(e[lo], e[hi]);
    }
  }
  const T pivot = e[lo];
  std::int64_t i = lo;
  std::int64_t j = hi + 1;
  for (;;) {
    do ++i;
    while (less(e[i], pivot));
    do --j;
    while (less(pivot, e[j]));
    if (i >= j) break;
    std::swap(e[i], e[j]);
  }
  std::swap(e[lo], e[j]);
  return j;
}

// quicksort(lo, hi) over slots lo..hi (1-based, hi - lo + 1 > 10 when
// called from SortEntries). Loops on the larger side, recurses into the
// smaller one, so the depth stays logarithmic. Every part of more than 10
// entries that a partition leaves is partitioned in turn; smaller parts are
// not.
template <class T, class Less>
void QuickSortEntries(T* e, std::int64_t lo, std::int64_t hi, const Less& less) {
  for (;;) {
    const std::int64_t j = PartitionEntries(e, lo, hi, less);
    const std::int64_t left = j - lo;   // slots lo..j-1
    const std::int64_t right = hi - j;  // slots j+1..hi
    if (right >= left) {
      if (left > kInsertionPartMax) QuickSortEntries(e, lo, j - 1, less);
      if (right <= kInsertionPartMax) return;
      lo = j + 1;
    } else if (right > kInsertionPartMax) {
      QuickSortEntries(e, j + 1, hi, less);
      hi = j - 1;
    } else if (left > kInsertionPartMax) {
      hi = j - 1;
    } else {
      return;
    }
  }
}

// Straight insertion over slots first..last: an entry moves down only past
// entries strictly greater than it; the entry below `first` (a sentinel or
// an entry not greater than any in the slots) stops the scan.
template <class T, class Less>
void InsertionRange(T* e, std::int64_t first, std::int64_t last, const Less& less) {
  for (std::int64_t i = first; i <= last; ++i) {
    if (!less(e[i], e[i - 1])) continue;
    const T v = e[i];
    std::int64_t j = i;
    do {
      e[j] = e[j - 1];
      --j;
    } while (less(v, e[j - 1]));
    e[j] = v;
  }
}

// Straight insertion over slots 2..n; the slot-0 sentinel stops the scan.
template <class T, class Less>
void InsertionPass(T* e, std::int64_t n, const Less& less) {
  InsertionRange(e, 2, n, less);
}

// Sorts slots 1..n of `e`; slot 0 and slot n + 1 must hold the sentinels.
template <class T, class Less>
void SortEntries(T* e, std::int64_t n, const Less& less) {
  if (n <= 1) return;
  if (n > kInsertionPartMax) QuickSortEntries(e, 1, n, less);
  InsertionPass(e, n, less);
}

}  // namespace dorvem
