// CollationRanks: dense collation ranks of a table's string columns, the
// fast stand-in for collator calls while indexes are built.
//
// Ordering a column calls its comparison O(n log n) times, and a collator
// call per comparison is slow. Instead each value is collated once: its
// collation sort key is computed, the keys are sorted, and each record gets
// the rank of its value among the distinct keys. Two present values get
// equal ranks exactly when the collator calls them equal, and rank order is
// collation order, so comparing ranks gives the same answers as comparing
// the strings with the collator.
//
// The table owns one CollationRanks and drops a column's ranks whenever a
// value of that column changes (storing a value or a null flag) and all of
// them when rows are added; ranks are computed again on next use. Ranks of
// a table loaded from a file are kept between runs (rank_cache.h): read
// back when still valid, written after each computation. A rank
// array is valid until the next change of the table; callers hold the
// table's lock while they use one.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "dataset/core/large_allocator.h"
#include "dataset/locale/locale_services.h"

namespace dorvem {

class DSBASE;

class CollationRanks {
 public:
  // Ranks of string field `fieldId` under (lcid, flags): element r - 1 for
  // record r of the table, 0 when the record's value is absent (its null
  // flag is set), else 1 + the place of its value among the distinct values
  // in collation order. Computed on first use and kept. Null when ranks
  // are switched off, when the field is not an 8-bit string, when no
  // collator can be had for (lcid, flags), or when memory runs out; the
  // caller then compares with the collator.
  const std::uint32_t* Get(const DSBASE& table, std::uint32_t fieldId, locale::LCID lcid,
                           std::uint32_t flags);
  // The records of the table in the order of `ranks` (an array Get gave):
  // rank by rank, absent values first, equal ranks in record order, from
  // element 1 on (element 0 is 0), as an index lays out its entries. Had
  // only once, and only for ranks read back from the cache, whose check
  // puts the records in that order anyway; empty otherwise.
  LargeVector<std::uint32_t> TakeRankOrder(const std::uint32_t* ranks);
  // The same, but only when already computed (no computing on a miss).
  const std::uint32_t* Find(const DSBASE& table, std::uint32_t fieldId, locale::LCID lcid,
                            std::uint32_t flags) const;

  // The byte order of string field `fieldId` (byte_order.h): *count
  // records. Kept, cached between runs and dropped like the ranks; null
  // when switched off, when the field is not a string, or when memory runs
  // out.
  // With `firstByteStarts`, also a table of 256 places kept with the byte
  // order for searches over it to note, for each byte b, the first place
  // whose value's first byte is b or greater (kStartNotNoted until noted).
  const std::uint32_t* ByteOrder(const DSBASE& table, std::uint32_t fieldId, std::uint32_t* count,
                                 std::uint32_t** firstByteStarts = nullptr);
  static constexpr std::uint32_t kStartNotNoted = 0xFFFFFFFF;

  void DropField(std::uint32_t fieldId);
  void DropAll();

  // Switch for direct collator calls (tests and benchmarks compare both);
  // on by default. Switching off drops every rank array.
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }

  // Number of rank arrays computed so far, and of rank arrays and byte
  // orders read from the rank cache (rank_cache.h) instead (for tests of
  // the cache).
  std::uint32_t Computations() const { return computations_; }
  std::uint32_t CacheLoads() const { return cacheLoads_; }

 private:
  struct Entry {
    std::uint32_t fieldId;
    locale::LCID lcid;
    std::uint32_t flags;
    LargeVector<std::uint32_t> ranks;
    LargeVector<std::uint32_t> rankOrder;  // see TakeRankOrder
  };
  const Entry* Lookup(const DSBASE& table, std::uint32_t fieldId, locale::LCID lcid,
                      std::uint32_t flags) const;

  struct OrderEntry {
    std::uint32_t fieldId;
    std::uint32_t tableRecords;
    LargeVector<std::uint32_t> order;
    std::array<std::uint32_t, 256> firstByteStarts;
  };

  // The column's content hash (rank_cache.h), kept while its values stay.
  std::uint64_t ColumnHash(const DSBASE& table, std::uint32_t fieldId);

  std::vector<Entry> entries_;
  std::vector<OrderEntry> orders_;
  std::vector<std::pair<std::uint32_t, std::uint64_t>> hashes_;  // field -> content hash
  bool enabled_ = true;
  std::uint32_t computations_ = 0;
  std::uint32_t cacheLoads_ = 0;
};

// Computes the ranks of one string column (see CollationRanks::Get) into
// *ranks. False when no collator can be had or memory runs out.
bool ComputeCollationRanks(const DSBASE& table, std::uint32_t fieldId, locale::LCID lcid,
                           std::uint32_t flags, LargeVector<std::uint32_t>* ranks);

}  // namespace dorvem
