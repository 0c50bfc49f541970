#include "dataset/store/collation_ranks.h"

#include <malloc.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "dataset/core/large_allocator.h"
#include "dataset/core/parallel.h"
#include "dataset/locale/collator.h"
#include "dataset/store/byte_order.h"
#include "dataset/store/logical_types.h"
#include "dataset/store/rank_cache.h"
#include "dataset/store/spread_pairs.h"
#include "dataset/store/table.h"

namespace dorvem {
namespace {

// One present value: the first eight bytes of its sort key as a big-endian
// number (zero-padded), where the whole key lies, and its record.
struct Keyed {
  std::uint64_t prefix;
  const std::uint8_t* key;
  std::uint32_t length;
  std::uint32_t record;
};

std::uint64_t PrefixOf(const std::uint8_t* key, std::size_t length) {
  std::uint64_t p = 0;
  for (std::size_t i = 0; i < 8; ++i) p = (p << 8) | (i < length ? key[i] : 0);
  return p;
}

// Order of the keys as unsigned byte strings (the shorter first on a tie).
// Equal prefixes mean equal first eight bytes once the shorter key is
// zero-padded, so only the bytes after them and the lengths remain.
int CompareKeys(const Keyed& a, const Keyed& b) {
  if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
  const std::uint32_t common = std::min(a.length, b.length);
  if (common > 8) {
    const int c = std::memcmp(a.key + 8, b.key + 8, common - 8);
    if (c != 0) return c < 0 ? -1 : 1;
  }
  return (a.length > b.length) - (a.length < b.length);
}

// The sort keys of the present values of records first..last, into one
// part's own arena; Keyed entries point into it once it is complete.
struct Part {
  std::vector<std::uint8_t> arena;
  std::vector<Keyed> keyed;
};

bool KeyPart(const DSBASE& table, std::uint32_t fieldId, const locale::Collator& collator,
             std::uint32_t first, std::uint32_t last, Part* part) {
  const std::uint32_t width = table.Field(fieldId).recordLength;
  try {
    part->keyed.reserve(last - first + 1);
    part->arena.reserve(static_cast<std::size_t>(last - first + 1) * 48);
    std::vector<std::size_t> offsets;
    offsets.reserve(last - first + 1);
    for (std::uint32_t r = first; r <= last; ++r) {
      if (table.NullFlag(r, fieldId) != kNullFlagValue) continue;
      const char* s = reinterpret_cast<const char*>(table.ValuePtr(r, fieldId));
      const std::size_t start = part->arena.size();
      if (!collator.SortKeyA(s, static_cast<int>(strnlen(s, width)), &part->arena)) return false;
      offsets.push_back(start);
      part->keyed.push_back(
          Keyed{0, nullptr, static_cast<std::uint32_t>(part->arena.size() - start), r});
    }
    // The arena no longer moves: point into it.
    for (std::size_t i = 0; i < part->keyed.size(); ++i) {
      Keyed& k = part->keyed[i];
      k.key = part->arena.data() + offsets[i];
      k.prefix = PrefixOf(k.key, k.length);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// True when `ranks` can be the ranks of the field: 0 exactly for the
// absent values, and no rank beyond the number of present values. (A cache
// file that passed its checksum was written so; this guards the index
// builds against anything else.)
bool Plausible(const DSBASE& table, std::uint32_t fieldId,
               const LargeVector<std::uint32_t>& ranks) {
  const std::uint32_t records = table.RecordCount();
  if (ranks.size() != records) return false;
  for (std::uint32_t r = 1; r <= records; ++r) {
    const bool absent = table.NullFlag(r, fieldId) != kNullFlagValue;
    if ((ranks[r - 1] == 0) != absent || ranks[r - 1] > records) return false;
  }
  return true;
}

// True when plausible `ranks` order the values as the collator does. The
// ranks present must be 1 up to the highest one, none skipped (counted in
// one pass). The records are then taken in rank order (a counting sort, no
// comparisons), and neighbours of equal rank must have equal bytes or be
// equal under the collator, neighbours of the next rank come before under
// it; the records are left in *sorted from element 1 on, in rank order
// (equal ranks in record order), element 0 being 0. A collator call costs
// about as much as a sort key, so the collator is asked about the pairs
// PickSpreadPairs picks (spread_pairs.h), not about all of a million. (A
// checksum only tells that a copy is whole, not that this program wrote
// it.)
bool FollowsCollation(const DSBASE& table, std::uint32_t fieldId, locale::LCID lcid,
                      std::uint32_t flags, const LargeVector<std::uint32_t>& ranks,
                      LargeVector<std::uint32_t>* sorted) {
  const locale::Collator* collator = locale::Collator::For(lcid, flags);
  if (collator == nullptr) return false;
  const std::uint32_t records = table.RecordCount();
  const std::uint32_t width = table.Field(fieldId).recordLength;
  try {
    // starts[k]: where the records of rank k begin in `sorted`.
    LargeVector<std::uint32_t> starts;
    ResizeToWrite(starts, static_cast<std::size_t>(records) + 2);
    // The counts and places are reached in rank order, all over their
    // arrays: each is asked for kAhead records before it is needed.
    constexpr std::size_t kAhead = 16;
    const std::size_t n = ranks.size();
    std::uint32_t highest = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (i + kAhead < n) __builtin_prefetch(&starts[ranks[i + kAhead] + 1], 1);
      ++starts[ranks[i] + 1];
      highest = std::max(highest, ranks[i]);
    }
    for (std::uint32_t k = 1; k <= highest; ++k)
      if (starts[k + 1] == 0) return false;  // rank k skipped
    for (std::size_t k = 1; k < starts.size(); ++k) starts[k] += starts[k - 1];
    ResizeToWrite(*sorted, std::size_t{records} + 1);
    std::uint32_t* const place = sorted->data() + 1;
    for (std::uint32_t r = 1; r <= records; ++r) {
      if (r + kAhead <= records) __builtin_prefetch(&starts[ranks[r - 1 + kAhead]], 1);
      place[starts[ranks[r - 1]]++] = r;
    }

    const std::size_t pairs = records > 0 ? records - 1 : 0;
    const SpreadPairs asked = PickSpreadPairs(pairs);
    for (std::size_t i = asked.first; i < pairs; i += asked.stride) {
      const std::uint32_t a = place[i], b = place[i + 1];
      const std::uint32_t before = ranks[a - 1], rank = ranks[b - 1];
      if (before == 0) continue;  // after an absent value: nothing to compare
      const char* x = reinterpret_cast<const char*>(table.ValuePtr(a, fieldId));
      const char* y = reinterpret_cast<const char*>(table.ValuePtr(b, fieldId));
      const auto lenX = static_cast<int>(strnlen(x, width));
      const auto lenY = static_cast<int>(strnlen(y, width));
      const bool sameBytes = lenX == lenY && std::memcmp(x, y, static_cast<std::size_t>(lenX)) == 0;
      if (rank == before ? !sameBytes && collator->CompareA(x, lenX, y, lenY) != locale::kEqual
                         : sameBytes || collator->CompareA(x, lenX, y, lenY) != locale::kLess)
        return false;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// The sort keys and sort buffers of a whole column take tens of megabytes
// for a moment. Once freed, the allocator would keep them for later use
// (it raises its threshold for mapping large blocks after the first one
// is freed); they are given back to the system instead, so a table keeps
// only what it holds.
void GiveBackFreedMemory() {
  (void)::malloc_trim(0);
}

}  // namespace

bool ComputeCollationRanks(const DSBASE& table, std::uint32_t fieldId, locale::LCID lcid,
                           std::uint32_t flags, LargeVector<std::uint32_t>* ranks) {
  const locale::Collator* collator = locale::Collator::For(lcid, flags);
  if (collator == nullptr) return false;
  const std::uint32_t records = table.RecordCount();
  try {
    ranks->clear();
    ResizeToWrite(*ranks, records);
    // Sort keys are computed on every core, each part over its own run of
    // records; the ranks depend only on the keys, not on how they were cut.
    const unsigned parts = PartsFor(records);
    std::vector<Part> keyedParts(parts);
    const bool keyed = RunParts(parts, [&](unsigned p) {
      const auto first = static_cast<std::uint32_t>(PartBegin(records, p, parts)) + 1;
      const auto last = static_cast<std::uint32_t>(PartBegin(records, p + 1, parts));
      return first > last || KeyPart(table, fieldId, *collator, first, last, &keyedParts[p]);
    });
    if (!keyed) {
      ranks->clear();
      return false;
    }
    std::vector<Keyed> all;
    std::size_t total = 0;
    for (const Part& p : keyedParts) total += p.keyed.size();
    all.reserve(total);
    for (Part& p : keyedParts) {
      all.insert(all.end(), p.keyed.begin(), p.keyed.end());
      std::vector<Keyed>().swap(p.keyed);
    }
    ParallelSort(all, [](const Keyed& a, const Keyed& b) { return CompareKeys(a, b) < 0; });
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (i == 0 || CompareKeys(all[i - 1], all[i]) != 0) ++rank;
      (*ranks)[all[i].record - 1] = rank;
    }
  } catch (const std::bad_alloc&) {
    ranks->clear();
    return false;
  }
  return true;
}

const CollationRanks::Entry* CollationRanks::Lookup(const DSBASE& table, std::uint32_t fieldId,
                                                    locale::LCID lcid, std::uint32_t flags) const {
  for (const Entry& e : entries_)
    if (e.fieldId == fieldId && e.lcid == lcid && e.flags == flags &&
        e.ranks.size() == table.RecordCount())
      return &e;
  return nullptr;
}

const std::uint32_t* CollationRanks::Find(const DSBASE& table, std::uint32_t fieldId,
                                          locale::LCID lcid, std::uint32_t flags) const {
  if (!enabled_) return nullptr;
  const Entry* e = Lookup(table, fieldId, lcid, flags);
  return e ? e->ranks.data() : nullptr;
}

const std::uint32_t* CollationRanks::Get(const DSBASE& table, std::uint32_t fieldId,
                                         locale::LCID lcid, std::uint32_t flags) {
  if (!enabled_ || fieldId == 0 || fieldId > table.FieldCount() ||
      table.Field(fieldId).logicalType != kLtString)
    return nullptr;
  if (const Entry* e = Lookup(table, fieldId, lcid, flags)) return e->ranks.data();
  // Arrays of another size are left from before rows were added.
  const std::uint32_t records = table.RecordCount();
  std::erase_if(entries_, [records](const Entry& e) { return e.ranks.size() != records; });
  Entry fresh{fieldId, lcid, flags, {}, {}};
  // Ranks of a table loaded from a file may be kept from an earlier run.
  RankCacheKey key;
  const bool cacheable =
      !table.Source().path.empty() && !table.Source().cacheFolder.empty() &&
      MakeRankCacheKey(table, fieldId, ColumnHash(table, fieldId), lcid, flags, &key);
  if (cacheable && rank_cache::Load(key, rank_cache::Kind::kRanks, &fresh.ranks) &&
      Plausible(table, fieldId, fresh.ranks) &&
      FollowsCollation(table, fieldId, lcid, flags, fresh.ranks, &fresh.rankOrder)) {
    ++cacheLoads_;
  } else {
    LargeVector<std::uint32_t>().swap(fresh.rankOrder);
    const bool computed = ComputeCollationRanks(table, fieldId, lcid, flags, &fresh.ranks);
    GiveBackFreedMemory();
    if (!computed) return nullptr;
    ++computations_;
    if (cacheable) (void)rank_cache::Store(key, rank_cache::Kind::kRanks, fresh.ranks);
  }
  try {
    entries_.push_back(std::move(fresh));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return entries_.back().ranks.data();
}

LargeVector<std::uint32_t> CollationRanks::TakeRankOrder(const std::uint32_t* ranks) {
  for (Entry& e : entries_)
    if (e.ranks.data() == ranks) return std::exchange(e.rankOrder, {});
  return {};
}

const std::uint32_t* CollationRanks::ByteOrder(const DSBASE& table, std::uint32_t fieldId,
                                               std::uint32_t* count,
                                               std::uint32_t** firstByteStarts) {
  *count = 0;
  if (firstByteStarts != nullptr) *firstByteStarts = nullptr;
  if (!enabled_ || fieldId == 0 || fieldId > table.FieldCount() ||
      table.Field(fieldId).logicalType != kLtString)
    return nullptr;
  const std::uint32_t records = table.RecordCount();
  for (OrderEntry& e : orders_)
    if (e.fieldId == fieldId && e.tableRecords == records) {
      *count = static_cast<std::uint32_t>(e.order.size());
      if (firstByteStarts != nullptr) *firstByteStarts = e.firstByteStarts.data();
      return e.order.data();
    }
  std::erase_if(orders_, [records](const OrderEntry& e) { return e.tableRecords != records; });
  OrderEntry fresh{fieldId, records, {}, {}};
  fresh.firstByteStarts.fill(kStartNotNoted);
  RankCacheKey key;
  const bool cacheable = !table.Source().path.empty() && !table.Source().cacheFolder.empty() &&
                         MakeColumnKey(table, fieldId, ColumnHash(table, fieldId), &key);
  if (cacheable && rank_cache::Load(key, rank_cache::Kind::kByteOrder, &fresh.order) &&
      CoversPresentValues(table, fieldId, fresh.order) &&
      InByteOrder(table, fieldId, fresh.order)) {
    ++cacheLoads_;
  } else {
    const bool computed = ComputeByteOrder(table, fieldId, &fresh.order);
    GiveBackFreedMemory();
    if (!computed) return nullptr;
    if (cacheable) (void)rank_cache::Store(key, rank_cache::Kind::kByteOrder, fresh.order);
  }
  try {
    orders_.push_back(std::move(fresh));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  *count = static_cast<std::uint32_t>(orders_.back().order.size());
  if (firstByteStarts != nullptr) *firstByteStarts = orders_.back().firstByteStarts.data();
  return orders_.back().order.data();
}

std::uint64_t CollationRanks::ColumnHash(const DSBASE& table, std::uint32_t fieldId) {
  for (const auto& [field, hash] : hashes_)
    if (field == fieldId) return hash;
  const std::uint64_t hash = ColumnContentHash(table, fieldId);
  try {
    hashes_.emplace_back(fieldId, hash);
  } catch (const std::bad_alloc&) {
    // Only a memo: computed again next time.
  }
  return hash;
}

void CollationRanks::DropField(std::uint32_t fieldId) {
  std::erase_if(hashes_, [fieldId](const auto& h) { return h.first == fieldId; });
  std::erase_if(entries_, [fieldId](const Entry& e) { return e.fieldId == fieldId; });
  std::erase_if(orders_, [fieldId](const OrderEntry& e) { return e.fieldId == fieldId; });
}

void CollationRanks::DropAll() {
  hashes_.clear();
  entries_.clear();
  orders_.clear();
}

void CollationRanks::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled) DropAll();
}

}  // namespace dorvem
