// Building a whole index: the four paths of DSIDX::Build (see dsidx.h).
#include <algorithm>
#include <bit>
#include <limits>
#include <new>
#include <numeric>
#include <type_traits>
#include <vector>

#include "dataset/core/bit_count.h"
#include "dataset/index/dsidx.h"
#include "dataset/index/entry_sort.h"
#include "dataset/store/collation_ranks.h"
#include "dataset/store/table.h"

namespace dorvem {

namespace {
// The entry values that stand for "before every record" and "after every
// record" during a sort; record numbers are never either.
constexpr std::uint32_t kLowSentinel = 0;
constexpr std::uint32_t kHighSentinel = std::numeric_limits<std::uint32_t>::max();

// The sort pair of `record` with `rank`: the key in the high half, so that
// comparisons read the pairs in place. Keys of records lie in 1..2^32-2,
// leaving 0 and 2^32-1 to the sentinels; a descending key is the rank
// mirrored.
std::uint64_t RankedPair(std::uint32_t rank, std::uint32_t record, bool descending) {
  const std::uint64_t key = descending ? kHighSentinel - 1 - rank : rank + 1;
  return (key << 32) | record;
}

// The number of marks in a record set.
std::size_t CountMarks(const std::vector<std::uint64_t>& marks) {
  return CountSetBits(marks.data(), marks.size());
}
}  // namespace

bool DSIDX::TakesEveryRecord() const {
  return !Filtered() && table_->AllRecordsVisible();
}

DBResult DSIDX::Build(const DSIDX* source) {
  Clear();
  if (comparator_.FieldCount() == 0 || table_->RecordCount() == 0) return BuildInRecordOrder();
  comparator_.Prepare(*table_, true);
  if (source != nullptr && source != this && source->Count() > 0) return BuildFromSource(*source);
  if (IsDefaultOrder(descriptor_)) return BuildStable();
  return BuildSorted();
}

// Path a: record order.
DBResult DSIDX::BuildInRecordOrder() {
  const std::uint32_t records = table_->RecordCount();
  std::vector<std::uint64_t> accepted;
  if (AcceptedAtOnce(&accepted)) {
    // The marked records in record order, each still asked whether a
    // cursor may see it; room for no more than are marked.
    if (DBResult r = Reserve(
            static_cast<std::uint32_t>(std::min<std::size_t>(CountMarks(accepted), records))))
      return r;
    for (std::size_t w = 0; w < accepted.size(); ++w)
      for (std::uint64_t bits = accepted[w]; bits != 0; bits &= bits - 1) {
        const auto rec = static_cast<std::uint32_t>(w * 64 + std::countr_zero(bits) + 1);
        if (rec <= records && DSIDX::Takes(rec))
          if (DBResult r = Append(rec)) return r;
      }
    return dbr::kOk;
  }
  if (DBResult r = Reserve(records)) return r;
  if (count_ == 0 && TakesEveryRecord()) {
    std::iota(entries_.begin() + 1, entries_.begin() + 1 + records, 1u);
    count_ = records;
    changeCounter_ += records;  // one per entry, as appending them would
    return dbr::kOk;
  }
  for (std::uint32_t rec = 1; rec <= records; ++rec)
    if (Takes(rec))
      if (DBResult r = Append(rec)) return r;
  return dbr::kOk;
}

// Path b: the source's order, each record by ordered insertion. A source
// whose order agrees with this index's makes every insertion an append
// after one comparison with the last entry.
DBResult DSIDX::BuildFromSource(const DSIDX& source) {
  // Where the filters name the records they accept all at once, a record
  // is taken when it is named and DSIDX::Takes takes it, as Takes decides:
  // no more are taken than are named, and with none named (a search that
  // finds nothing) the source is not read at all.
  std::vector<std::uint64_t> accepted;
  const bool named = AcceptedAtOnce(&accepted);
  const std::size_t marked = named ? CountMarks(accepted) : source.Count();
  if (DBResult r =
          Reserve(static_cast<std::uint32_t>(std::min<std::size_t>(marked, source.Count()))))
    return r;
  if (marked == 0) return dbr::kOk;
  if (named && source.lazy_) {
    if (marked <= source.Count() / 64) {
      // Few records named: only the source's slots that hold them are
      // settled (lazy_order.h); every other slot holds none of them.
      source.lazy_->ResolveMarked(accepted);
      for (std::uint32_t pos = 1; pos <= source.Count(); ++pos) {
        if (!source.lazy_->IsFinal(pos)) continue;
        const std::uint32_t rec = source.entries_[pos];
        if (((accepted[(rec - 1) >> 6] >> ((rec - 1) & 63)) & 1) != 0 && DSIDX::Takes(rec))
          if (DBResult r = InsertPrepared(rec)) return r;
      }
      if (source.lazy_->Done()) source.lazy_.reset();
      return dbr::kOk;
    }
  }
  // Every entry of the source is read in order: settle them at once.
  source.Settle();
  for (std::uint32_t pos = 1; pos <= source.Count(); ++pos) {
    const std::uint32_t rec = source.Entry(pos);
    const bool takes =
        named ? ((accepted[(rec - 1) >> 6] >> ((rec - 1) & 63)) & 1) != 0 && DSIDX::Takes(rec)
              : Takes(rec);
    if (takes)
      if (DBResult r = InsertPrepared(rec)) return r;
  }
  return dbr::kOk;
}

// Path c: record order, each by ordered insertion. Ordered insertion puts
// each arrival after every entry not greater than it, which is exactly a
// stable sort of the arrivals; a stable merge sort gets that order without
// shifting the array once per record.
DBResult DSIDX::BuildStable() {
  if (DBResult r = BuildInRecordOrder()) return r;
  try {
    std::stable_sort(
        entries_.begin() + 1, entries_.begin() + 1 + count_,
        [this](std::uint32_t a, std::uint32_t b) { return comparator_.Compare(a, b) < 0; });
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
  return CheckUnique();
}

// Path d for one ranked key in a non-unique index whose filters name the
// records they accept (a search): the (key, record) pairs are made straight
// from the marked records in record order, as BuildSorted would make them
// from the entries BuildInRecordOrder appends, and left to LazyOrder. False
// (nothing built) where that path does not apply.
bool DSIDX::BuildRankedFromMarks(const std::uint32_t* ranks, DBResult* result) {
  std::vector<std::uint64_t> accepted;
  if (!AcceptedAtOnce(&accepted)) return false;
  const std::uint32_t records = table_->RecordCount();
  const std::size_t marked = CountMarks(accepted);
  // Every record taken: the kept rank order answers without a sort (the
  // general path asks the filters once more, which only such a set costs).
  if (marked >= records) return false;
  try {
    SortPairs pairs;
    ResizeToWrite(pairs, marked + 2);
    std::uint64_t* const p = pairs.data();
    // Marks past the last record are dropped once, not asked about per mark.
    const std::size_t words = std::min<std::size_t>(accepted.size(), (records + 63) / 64);
    if (words > 0 && words * 64 > records)
      accepted[words - 1] &= (std::uint64_t{1} << (records % 64)) - 1;
    std::uint32_t n = 0;
    p[0] = 0;
    // One loop for each case, so that neither is decided per mark. With no
    // record hidden, DSIDX::Takes takes every one: not asked, it spares a
    // read of a status byte per marked record.
    auto collect = [&](auto everyVisible, auto descending) {
      for (std::size_t w = 0; w < words; ++w)
        for (std::uint64_t bits = accepted[w]; bits != 0; bits &= bits - 1) {
          const auto rec = static_cast<std::uint32_t>(w * 64 + std::countr_zero(bits) + 1);
          if (!everyVisible && !DSIDX::Takes(rec)) continue;
          p[++n] = RankedPair(ranks[rec - 1], rec, descending);
        }
    };
    const bool everyVisible = table_->AllRecordsVisible();
    const bool descending = comparator_.SoleDescending();
    if (everyVisible && !descending)
      collect(std::true_type{}, std::false_type{});
    else
      collect(everyVisible, descending);
    p[n + 1] = std::numeric_limits<std::uint64_t>::max();
    pairs.resize(std::size_t{n} + 2);
    if ((*result = Reserve(n)) != dbr::kOk) return true;
    count_ = n;
    changeCounter_ += n;  // one per entry, as appending them would
    if (n <= 1) {
      if (n == 1) entries_[1] = static_cast<std::uint32_t>(p[1]);
      return true;
    }
    lazy_ = std::make_unique<LazyOrder>(std::move(pairs), entries_.data());
  } catch (const std::bad_alloc&) {
    *result = dbr::kOutOfMemory;
  }
  return true;
}

// Path d: record order appended without comparing, then one sort.
DBResult DSIDX::BuildSorted() {
  const std::uint32_t* const soleRanks = comparator_.SoleRanks();
  DBResult built = dbr::kOk;
  if (soleRanks != nullptr && !Unique() && BuildRankedFromMarks(soleRanks, &built)) return built;
  if (soleRanks != nullptr && !comparator_.SoleDescending()) {
    // Ranks read back from the cache: checking them put every record in
    // this very order (rank, then record number), laid out as entries are.
    // The array becomes the entries; the records this index takes keep the
    // order, moved up in place, none to a slot after its own.
    LargeVector<std::uint32_t> order = table_->Ranks().TakeRankOrder(soleRanks);
    const std::uint32_t records = table_->RecordCount();
    if (order.size() == std::size_t{records} + 1) {
      std::uint32_t n = records;
      if (!TakesEveryRecord()) {
        n = 0;
        for (std::uint32_t pos = 1; pos <= records; ++pos)
          if (Takes(order[pos])) order[++n] = order[pos];
      }
      entries_ = std::move(order);
      capacity_ = records;
      count_ = n;
      changeCounter_ += n;  // one per entry, as appending them would
      return CheckUnique();
    }
  }
  if (DBResult r = BuildInRecordOrder()) return r;
  const std::uint32_t n = count_;
  if (n <= 1) return dbr::kOk;

  bool sorted = false;
  const std::uint32_t* ranks = comparator_.SoleRanks();
  if (ranks != nullptr) {
    // One ranked key: sort (key, record) pairs (RankedPair).
    const bool descending = comparator_.SoleDescending();
    try {
      // Sized at once, left unset, and written through a pointer: appending
      // one pair at a time cost more.
      SortPairs pairs;
      ResizeToWrite(pairs, static_cast<std::size_t>(n) + 2);
      std::uint64_t* const p = pairs.data();
      p[0] = 0;
      for (std::uint32_t i = 1; i <= n; ++i)
        p[i] = RankedPair(ranks[entries_[i] - 1], entries_[i], descending);
      p[n + 1] = std::numeric_limits<std::uint64_t>::max();
      if (!Unique()) {
        // Left unfinished: each entry is settled when first read, in the
        // order the whole sort gives (lazy_order.h). A unique index checks
        // every neighbour at once, so it sorts in full.
        lazy_ = std::make_unique<LazyOrder>(std::move(pairs), entries_.data());
        return dbr::kOk;
      }
      SortEntries(pairs.data(), n,
                  [](std::uint64_t x, std::uint64_t y) { return (x >> 32) < (y >> 32); });
      for (std::uint32_t i = 1; i <= n; ++i) entries_[i] = static_cast<std::uint32_t>(pairs[i]);
      sorted = true;
    } catch (const std::bad_alloc&) {
      // Fall back to sorting the records in place.
    }
  }
  if (!sorted) {
    // The high sentinel needs slot n + 1 (the ranked sort above keeps its
    // sentinels in its own pairs, so only this path grows the entries).
    if (n == capacity_)
      if (DBResult r = Reserve(capacity_ + 10)) return r;
    entries_[0] = kLowSentinel;
    entries_[n + 1] = kHighSentinel;
    SortEntries(entries_.data(), n, [this](std::uint32_t x, std::uint32_t y) {
      if (x == y) return false;
      if (x == kLowSentinel || y == kHighSentinel) return true;
      if (y == kLowSentinel || x == kHighSentinel) return false;
      return comparator_.Compare(x, y) < 0;
    });
  }
  return CheckUnique();
}

DBResult DSIDX::CheckUnique() const {
  if (!Unique()) return dbr::kOk;
  for (std::uint32_t i = 1; i < count_; ++i)
    if (comparator_.Compare(entries_[i], entries_[i + 1]) == 0) return dbr::kKeyViolation;
  return dbr::kOk;
}

}  // namespace dorvem
