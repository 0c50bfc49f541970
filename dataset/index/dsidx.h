// DSIDX: one order over the records of a table.
//
// An index is an array of 1-based record numbers in index order (entries 1
// to Count()). It belongs to its table (DSBASE), which keeps a list of its
// indexes, and is shared by cursors through a reference count: the table's
// own indexes hold one reference for the table and one per cursor using
// them; an index made for one cursor holds only that cursor's reference.
// Every insertion and removal bumps the change counter, from which cursors
// learn that they must re-find their place.
#pragma once

#include <cstdint>
#include <vector>

#include "dataset/core/result_codes.h"
#include "dataset/index/index_descriptor.h"

namespace dorvem {

class DSBASE;

enum class IndexKind {
  kPlain,
  kChangeLog,  // the pending changes ("CHANGEINDEX")
  kFiltered,   // a plain order narrowed by filters
};

class DSIDX {
 public:
  DSIDX(DSBASE* table, const IndexDescriptor& descriptor, IndexKind kind);
  virtual ~DSIDX();
  DSIDX(const DSIDX&) = delete;
  DSIDX& operator=(const DSIDX&) = delete;

  const IndexDescriptor& Descriptor() const { return descriptor_; }
  IndexKind Kind() const { return kind_; }
  DSBASE* Table() const { return table_; }

  // Made by a sort request; such an index cannot be chosen by name.
  bool Temporary() const { return temporary_; }
  void SetTemporary(bool t) { temporary_ = t; }

  // Identity given by the table when it registers the index (1, 2, 3, ...).
  std::uint32_t Serial() const { return serial_; }
  void SetSerial(std::uint32_t s) { serial_ = s; }

  std::uint32_t Count() const { return count_; }
  // Record number at 1-based position `pos` (1 <= pos <= Count()).
  std::uint32_t Entry(std::uint32_t pos) const { return entries_[pos]; }
  // Position (1-based) of `record`, searched from the first entry; 0 when
  // the record is not in the index.
  std::uint32_t FindRecord(std::uint32_t record) const;

  std::uint32_t ChangeCounter() const { return changeCounter_; }

  std::uint32_t AddRef() { return ++refs_; }
  // Drops a reference; at 0 the index is unlinked from its table and
  // destroyed. Returns the references left.
  std::uint32_t Release();

  // Rebuilds the entries from the table: every record a cursor may see, in
  // record order.
  virtual DBResult Build();

 protected:
  // Appends a record at the end, growing the array by 50 slots when full.
  DBResult Append(std::uint32_t record);
  void Clear();

  DSBASE* table_;
  IndexDescriptor descriptor_;
  IndexKind kind_;
  bool temporary_ = false;
  std::uint32_t serial_ = 0;
  std::uint32_t refs_ = 1;
  std::uint32_t changeCounter_ = 0;
  std::uint32_t count_ = 0;
  // Slot 0 and slot count_ + 1 are reserved for sort sentinels.
  std::vector<std::uint32_t> entries_;
};

}  // namespace dorvem
