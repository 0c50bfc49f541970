// LazyOrder: the sort of an index's entries (entry_sort.h), carried out only
// as far as the entries that are read need it.
//
// A search narrows a million records to thousands on every keystroke, and
// the window then reads twenty of them. Sorting all of them first costs
// O(k log k); finding where the twenty go costs O(k). The order must be the
// very one SortEntries leaves, equal keys included, and it is, because the
// sort decomposes into independent pieces:
//   1. A partition step works on its slots lo..hi alone. Besides them it
//      reads only the entries just outside (the sentinel or the pivot of an
//      earlier step), which no later step moves. So two ranges that earlier
//      steps have separated end the same whatever order they are sorted in.
//   2. Quicksort partitions every range of more than 10 entries that a
//      partition leaves, and no range of 10 or fewer, whatever its order of
//      work; a pivot's slot is final once it is placed.
//   3. The final insertion pass moves an entry only past strictly greater
//      entries. A part of 10 or fewer entries lies between two entries that
//      are not greater, respectively not smaller, than all of it (sentinels
//      or pivots), so the pass moves nothing across a part's boundary:
//      it is an insertion sort of each part on its own.
// Hence: to know slot p, partition the pending range that holds p (and then
// the part of it that holds p, and so on) and insertion-sort the small part
// p ends in; every other pending range waits.
//
// Entries are (key, record) pairs, the key in the high 32 bits, compared by
// key alone, as BuildSorted sorts them. Each slot's record is written to the
// index's entries array when the slot becomes final. Not thread-safe: the
// index calls it under its table's lock.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "dataset/core/large_allocator.h"

namespace dorvem {

// The (key, record) pairs of a sort: a million of them at a time, each
// written by the build that sizes them.
using SortPairs = std::vector<std::uint64_t, UnsetLargeAllocator<std::uint64_t>>;

class LazyOrder {
 public:
  // `pairs` holds slots 0..n + 1 (0 and all ones as the sentinels); final
  // records go to out[1..n], which must stay valid while this object lives.
  // Small inputs are sorted at once.
  LazyOrder(SortPairs pairs, std::uint32_t* out);

  // True when slot `pos` (1..n) is final (its record is in out[pos]).
  bool IsFinal(std::uint32_t pos) const { return (final_[pos >> 6] >> (pos & 63)) & 1; }
  // Makes slot `pos` final.
  void Resolve(std::uint32_t pos);
  // Makes final every slot whose record is marked in `marked` (bit r - 1
  // for record r; one bit for every record of the entries), partitioning
  // only the pending ranges that hold a marked record: a slot left pending
  // holds no marked record.
  void ResolveMarked(const std::vector<std::uint64_t>& marked);
  // Makes every slot final.
  void ResolveAll();
  // True when every slot is final.
  bool Done() const { return pending_.empty(); }

  // The slot `record` ends in (1-based), 0 when it is not among the
  // entries. The slot need not be final yet: when no other entry of its
  // pending range has the record's key, its place is known from a count
  // alone. Costs one pass over the entries, and the partitions around that
  // slot when its key is shared, not a whole sort.
  std::uint32_t FindRecord(std::uint32_t record);

 private:
  void MarkFinal(std::uint32_t pos);
  // Partitions the pending range that starts at `lo`.
  void Split(std::map<std::uint32_t, std::uint32_t>::iterator range);
  // Sorts a part of 10 or fewer entries and makes its slots final.
  void FinishSmall(std::int64_t first, std::int64_t last);

  SortPairs e_;
  std::uint32_t* out_;
  std::uint32_t n_ = 0;
  std::map<std::uint32_t, std::uint32_t> pending_;  // first slot -> last slot
  std::vector<std::uint64_t> final_;                // one bit per slot
};

}  // namespace dorvem
