// KeyComparator: how an index compares two records of its table.
//
// For each key field in key order it takes each record's stored value, or
// nothing when the record's null flag for that column is set, and asks the
// field's value handler (FLDObj); the first nonzero answer decides, and
// records whose every key field compares equal are equal (no tie-break, not
// even the record number).
//
// String key fields may instead compare by the table's collation ranks
// (CollationRanks), which give the same answers without a collator call.
// Rank arrays belong to the table and are dropped when its values change,
// so an index calls Prepare at the start of every operation that compares
// (under the table's lock) and never keeps them beyond it.
//
// The comparator is owned by its index; it points at the table, which
// outlives every index.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dataset/core/result_codes.h"
#include "dataset/index/fld_obj.h"
#include "dataset/store/index_descriptor.h"

namespace dorvem {

class DSBASE;

class KeyComparator {
 public:
  // Checks the key fields of `d` and makes their value handlers, using the
  // table's locale for strings. kInvalidParameter for a field count outside
  // 0..16 or a column outside 1..field count; kInvalidFieldType for a blob,
  // memo or nested key field; kOutOfMemory. *keyLength receives the sum of
  // the key fields' widths. On failure *this is unchanged.
  DBResult Define(const DSBASE& table, const IndexDescriptor& d, std::uint32_t* keyLength);

  // Takes the collation ranks of the string key fields for the comparisons
  // that follow: computing them when `compute` is set (a whole build), else
  // only those the table already has (a single insertion or look-up).
  void Prepare(DSBASE& table, bool compute);

  int FieldCount() const { return static_cast<int>(keys_.size()); }

  // -1, 0 or +1: record a against record b (1-based record numbers).
  int Compare(std::uint32_t a, std::uint32_t b) const {
    for (const Key& k : keys_) {
      int c;
      if (k.ranks != nullptr) {
        const std::uint32_t ra = k.ranks[a - 1], rb = k.ranks[b - 1];
        c = (ra > rb) - (ra < rb);
        if (k.handler->Descending()) c = -c;
      } else {
        c = CompareByHandler(k, a, b);
      }
      if (c != 0) return c;
    }
    return 0;
  }

  // When the whole key is one string field with ranks prepared: its ranks
  // (null otherwise), so a sort can carry them with the entries.
  const std::uint32_t* SoleRanks() const { return keys_.size() == 1 ? keys_[0].ranks : nullptr; }
  bool SoleDescending() const { return keys_.size() == 1 && keys_[0].handler->Descending(); }

 private:
  struct Key {
    std::uint32_t fieldId;
    std::unique_ptr<FLDObj> handler;
    const std::uint32_t* ranks = nullptr;
  };
  int CompareByHandler(const Key& k, std::uint32_t a, std::uint32_t b) const;

  const DSBASE* table_ = nullptr;
  std::vector<Key> keys_;
};

}  // namespace dorvem
