// DSIDX: one order over the records of a table.
//
// An index is an array of 1-based record numbers in index order (entries 1
// to Count()), with the descriptor that says how it orders (IndexDescriptor)
// and one value handler per key field. It belongs to its table (DSBASE),
// which lists its indexes in creation order, and is shared by cursors
// through a reference count:
//   - an index the table keeps ("DEFAULT_ORDER", the packet's "PRIMARY_KEY"
//     and "UNIQUE_KEY", indexes of CreateIndex) holds one reference for the
//     table and one per cursor using it;
//   - an index made for one cursor (by a sort request, marked temporary, or
//     a filtered index) holds only that cursor's reference.
// At 0 references the index unlinks itself from its table and is destroyed.
//
// Every insertion and removal bumps the change counter, from which cursors
// learn that they must re-find their place. The entries array grows by 50
// slots when an insertion finds it full; a whole build reserves room for
// all candidate records at once. Slot 0 and slot Count() + 1 hold sentinels
// while a build sorts.
//
// A build that sorts by one ranked key (path d) may leave its sort
// unfinished (LazyOrder): the count is known at once, and each entry is
// settled when it is first read, in exactly the order the whole sort would
// give. Changing the entries (insertion, removal) settles them all first.
//
// Kinds: plain; the change log (DSIDXCHG, below); filtered (DSIDXFILT,
// dsidxfilt.h), which takes only the records its filters accept.
//
// Every member is called under the table's lock.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dataset/core/large_allocator.h"
#include "dataset/core/result_codes.h"
#include "dataset/index/key_comparator.h"
#include "dataset/index/lazy_order.h"
#include "dataset/store/index_descriptor.h"

namespace dorvem {

class DSBASE;

enum class IndexKind {
  kPlain,
  kChangeLog,  // the pending changes ("CHANGEINDEX")
  kFiltered,   // a plain order narrowed by filters
};

class DSIDX {
 public:
  // An index of `table` with no key fields and no entries; Define gives it
  // its descriptor. One reference, held by the creator.
  DSIDX(DSBASE* table, IndexKind kind);
  virtual ~DSIDX();
  DSIDX(const DSIDX&) = delete;
  DSIDX& operator=(const DSIDX&) = delete;

  // Takes `d` as the descriptor (name, key fields, flags, uniqueness): makes
  // the value handlers and fills in the key length. kInvalidParameter for a
  // field count outside 0..16 or a column outside the table,
  // kInvalidFieldType for a blob, memo or nested key field. On failure the
  // index keeps its previous definition. The entries are not touched: a
  // Build must follow.
  DBResult Define(const IndexDescriptor& d);
  const IndexDescriptor& Descriptor() const { return descriptor_; }
  IndexKind Kind() const { return kind_; }
  DSBASE* Table() const { return table_; }
  bool Unique() const { return descriptor_.uniqueness != kIndexDuplicates; }

  // Made by a sort request; such an index cannot be chosen by name.
  bool Temporary() const { return temporary_; }
  void SetTemporary(bool t) { temporary_ = t; }

  // Identity given by the table when it registers the index (1, 2, 3, ...).
  std::uint32_t Serial() const { return serial_; }
  void SetSerial(std::uint32_t s) { serial_ = s; }

  std::uint32_t Count() const { return count_; }
  std::uint32_t Capacity() const { return capacity_; }
  // Record number at 1-based position `pos` (1 <= pos <= Count()).
  std::uint32_t Entry(std::uint32_t pos) const {
    if (lazy_ && !lazy_->IsFinal(pos)) ResolveLazy(pos);
    return entries_[pos];
  }
  // Finishes an unfinished sort (see LazyOrder); the entries do not change.
  void Settle() const {
    if (lazy_) SettleLazy();
  }
  // True while the sort of the last build is unfinished.
  bool Unsettled() const { return lazy_ != nullptr; }
  // Position (1-based) of `record`, searched from the first entry; 0 when
  // the record is not in the index.
  std::uint32_t FindRecord(std::uint32_t record) const;
  // Position of the first entry whose key is not smaller than `record`'s
  // (Count() + 1 when there is none).
  std::uint32_t LowerBound(std::uint32_t record);

  std::uint32_t ChangeCounter() const { return changeCounter_; }

  std::uint32_t AddRef() { return ++refs_; }
  // Drops a reference; at 0 the index is unlinked from its table and
  // destroyed. Returns the references left.
  std::uint32_t Release();
  std::uint32_t References() const { return refs_; }

  // -1, 0 or +1: record a against record b under the key fields.
  int CompareRecords(std::uint32_t a, std::uint32_t b) const { return comparator_.Compare(a, b); }

  // Builds the entries anew from the records the index takes (Takes):
  //   a. no key fields, or a table without records: record order;
  //   b. else, when `source` has entries: the source's entries in its
  //      order, each by ordered insertion (the source order restricted to
  //      the records taken);
  //   c. else, for "DEFAULT_ORDER": record order, each by ordered insertion
  //      (equal keys stay in record order);
  //   d. else: appended in record order, then sorted (entry_sort.h); equal
  //      keys end where the sort leaves them.
  // kKeyViolation when a unique index meets two equal keys; kOutOfMemory.
  // On failure the entries are incomplete and a new Build must follow.
  virtual DBResult Build(const DSIDX* source = nullptr);

  // Ordered insertion of one record: after every entry not greater than
  // it (so arrivals with equal keys keep their arrival order); at the end
  // when there are no key fields. kKeyViolation in a unique index when an
  // equal key is present (nothing inserted); kOutOfMemory.
  DBResult Insert(std::uint32_t record);
  // Removes the entry at `pos` (1 <= pos <= Count()).
  void RemoveAt(std::uint32_t pos);

 protected:
  // True when a build takes `record`: a record a cursor may see (hidden
  // status bits clear, or a delta table). The filtered kind also asks its
  // filters.
  virtual bool Takes(std::uint32_t record);
  // True when Takes may refuse a record that a cursor may see. A kind that
  // overrides Takes overrides this too: where it is false and every record
  // is visible, the builds take every record without asking each.
  virtual bool Filtered() const { return false; }
  // Where the index's filters can name the records they accept all at once
  // (RecordFilter::AcceptedAtOnce): those records, and true. A record is
  // then taken when it is marked and DSIDX::Takes takes it, exactly as
  // Takes would decide. False for an index without such filters.
  virtual bool AcceptedAtOnce(std::vector<std::uint64_t>* accepted) {
    (void)accepted;
    return false;
  }

 private:
  void Clear();
  void ResolveLazy(std::uint32_t pos) const;
  void SettleLazy() const;
  DBResult Reserve(std::uint32_t slots);
  DBResult Append(std::uint32_t record);
  std::uint32_t InsertPosition(std::uint32_t record, bool* equal);
  // Insert with the comparator already prepared and key fields present.
  DBResult InsertPrepared(std::uint32_t record);
  DBResult BuildInRecordOrder();
  DBResult BuildFromSource(const DSIDX& source);
  DBResult BuildStable();
  DBResult BuildSorted();
  bool BuildRankedFromMarks(const std::uint32_t* ranks, DBResult* result);
  DBResult CheckUnique() const;
  // True when Takes takes every record of the table.
  bool TakesEveryRecord() const;

  DSBASE* table_;
  IndexDescriptor descriptor_;
  KeyComparator comparator_;
  IndexKind kind_;
  bool temporary_ = false;
  std::uint32_t serial_ = 0;
  std::uint32_t refs_ = 1;
  std::uint32_t changeCounter_ = 0;
  std::uint32_t count_ = 0;
  std::uint32_t capacity_ = 0;  // entry slots 1..capacity_
  // Slot 0 is the low sentinel's; slots 1..capacity_ hold entries.
  std::vector<std::uint32_t, LargeAllocator<std::uint32_t>> entries_;
  // The unfinished sort that fills entries_ as they are read; null when the
  // entries are all in place.
  mutable std::unique_ptr<LazyOrder> lazy_;
};

// The change log's index ("CHANGEINDEX"): the order of pending changes.
// This engine keeps no edits, so it stays empty.
class DSIDXCHG final : public DSIDX {
 public:
  explicit DSIDXCHG(DSBASE* table) : DSIDX(table, IndexKind::kChangeLog) {}
  DBResult Build(const DSIDX* source = nullptr) override;
};

}  // namespace dorvem
