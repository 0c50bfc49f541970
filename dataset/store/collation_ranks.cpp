#include "dataset/store/collation_ranks.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "dataset/locale/collator.h"
#include "dataset/store/logical_types.h"
#include "dataset/store/table.h"

namespace dorvem {
namespace {

// One present value: the first eight bytes of its sort key as a big-endian
// number (zero-padded), where the whole key lies in the arena, and its record.
struct Keyed {
  std::uint64_t prefix;
  std::uint64_t offset;
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
int CompareKeys(const std::uint8_t* arena, const Keyed& a, const Keyed& b) {
  if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
  const std::uint32_t common = std::min(a.length, b.length);
  if (common > 8) {
    const int c = std::memcmp(arena + a.offset + 8, arena + b.offset + 8, common - 8);
    if (c != 0) return c < 0 ? -1 : 1;
  }
  return (a.length > b.length) - (a.length < b.length);
}

}  // namespace

bool ComputeCollationRanks(const DSBASE& table, std::uint32_t fieldId, locale::LCID lcid,
                           std::uint32_t flags, std::vector<std::uint32_t>* ranks) {
  const locale::Collator* collator = locale::Collator::For(lcid, flags);
  if (collator == nullptr) return false;
  const std::uint32_t records = table.RecordCount();
  const std::uint32_t width = table.Field(fieldId).recordLength;
  try {
    ranks->assign(records, 0);
    std::vector<Keyed> keyed;
    keyed.reserve(records);
    std::vector<std::uint8_t> arena;
    arena.reserve(static_cast<std::size_t>(records) * 48);
    for (std::uint32_t r = 1; r <= records; ++r) {
      if (table.NullFlag(r, fieldId) != kNullFlagValue) continue;
      const char* s = reinterpret_cast<const char*>(table.ValuePtr(r, fieldId));
      const std::size_t start = arena.size();
      if (!collator->SortKeyA(s, static_cast<int>(strnlen(s, width)), &arena)) return false;
      const std::size_t length = arena.size() - start;
      keyed.push_back(Keyed{PrefixOf(arena.data() + start, length), start,
                            static_cast<std::uint32_t>(length), r});
    }
    const std::uint8_t* keys = arena.data();
    std::sort(keyed.begin(), keyed.end(),
              [keys](const Keyed& a, const Keyed& b) { return CompareKeys(keys, a, b) < 0; });
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
      if (i == 0 || CompareKeys(keys, keyed[i - 1], keyed[i]) != 0) ++rank;
      (*ranks)[keyed[i].record - 1] = rank;
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
  Entry fresh{fieldId, lcid, flags, {}};
  if (!ComputeCollationRanks(table, fieldId, lcid, flags, &fresh.ranks)) return nullptr;
  ++computations_;
  try {
    entries_.push_back(std::move(fresh));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return entries_.back().ranks.data();
}

void CollationRanks::DropField(std::uint32_t fieldId) {
  std::erase_if(entries_, [fieldId](const Entry& e) { return e.fieldId == fieldId; });
}

void CollationRanks::DropAll() {
  entries_.clear();
}

void CollationRanks::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled) DropAll();
}

}  // namespace dorvem
