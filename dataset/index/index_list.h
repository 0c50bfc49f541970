// IndexList: the index layer's TableIndexes, the list of indexes a table
// keeps, and DSBASE_Factory, which makes every table with one.
//
// The list holds the table's reference to each index it keeps and every
// index registered for a cursor (temporary and filtered ones), in creation
// order; each index unlinks itself when its last reference goes. It names
// "DEFAULT_ORDER" (the order a cursor opens on) and finds the named indexes
// (not temporary, not filtered) by name.
//
// The list belongs to its table and is reached from it with IndexesOf.
// Every member is called under the table's lock.
#pragma once

#include <cstdint>
#include <vector>

#include "dataset/store/table.h"
#include "dataset/store/table_indexes.h"

namespace dorvem {

class DSIDX;

class IndexList final : public TableIndexes {
 public:
  explicit IndexList(DSBASE* table) : table_(table) {}
  ~IndexList() override;
  IndexList(const IndexList&) = delete;
  IndexList& operator=(const IndexList&) = delete;

  DBResult CreateLoadIndexes() override;
  DBResult RebuildAll() override;
  DBResult CreateIndex(const IndexDescriptor& d) override;
  DBResult GetIndexDescs(std::vector<IndexDescriptor>* descs) const override;
  void Clear() override;

  // The table's indexes, in creation order.
  const std::vector<DSIDX*>& All() const { return indexes_; }
  // Gives `index` its serial number and links it; Unlink removes it (an
  // index's last Release does that).
  void Register(DSIDX* index);
  void Unlink(DSIDX* index);
  // The index named "DEFAULT_ORDER" (always present once data is loaded).
  DSIDX* DefaultOrder() const { return defaultOrder_; }
  // The named index whose name equals `name` under the table locale's
  // collation, case distinguished; null when none.
  DSIDX* FindNamed(const char* name) const;

 private:
  DSBASE* table_;
  std::vector<DSIDX*> indexes_;
  DSIDX* defaultOrder_ = nullptr;
  std::uint32_t nextSerial_ = 1;
};

// The index list of a table that DSBASE_Factory made (every table the
// engine works with; only the record store's own tests make bare ones).
IndexList& IndexesOf(const DSBASE& table);

// Creates an empty table, with its index list, with one reference.
[[nodiscard]] DBResult DSBASE_Factory(TDSBASE** out);

}  // namespace dorvem
