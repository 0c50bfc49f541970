// DSCursor, the engine cursor behind TDSCursor (cursor_interface.h).
//
// Besides the interface it offers the engine's filter evaluation what a
// filtered order needs (FilterActiveIndex, RebuildFilteredIndex): the
// filters themselves live in the filtered index's RecordFilter list, and
// the cursor only builds, rebuilds and re-positions.
#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "dataset/cursor/cursor_interface.h"
#include "dataset/index/dsidx.h"
#include "dataset/index/record_filter.h"

namespace dorvem {

class DSIDXFILT;
class FilterList;

// Why a filtered index is rebuilt in place.
enum class FilterChange {
  // A filter was added to its list: rebuilt by its own path (record order,
  // ordered insertion or sort), never from another index.
  kAdded,
  // A filter was removed from its list, or the list removed: rebuilt from
  // the first plain index of the table whose leading key fields equal its
  // own, or else by its own path.
  kRemoved,
};

class DSCursor final : public EngineObject<TDSCursor, InterfaceId::kDSCursor> {
 public:
  DSCursor() = default;
  ~DSCursor() override;

  DBResult InitCursor(TDSBASE* table) override;
  DBResult GetCursorProps(DSProps* props) override;
  DBResult GetFieldDescs(DSFLDDesc* descs) override;
  DBResult ToBeforeFirst() override;
  DBResult ToAfterLast() override;
  DBResult Advance(std::int32_t n) override;
  DBResult ReadCurrent(std::uint8_t* image) override;
  DBResult ReadRecord(std::int32_t n, std::uint8_t* image, RecordInfo* info) override;
  DBResult GetRecordAttribute(std::uint8_t* status) override;
  DBResult SequenceNumber(std::uint32_t* seq) override;
  DBResult GetRecordCount(std::uint32_t* count) override;
  DBResult MoveToSeqNo(std::uint32_t k) override;
  DBResult GetPosition(EngineBookmark* bookmark) override;
  DBResult GoToPosition(const EngineBookmark& bookmark) override;
  DBResult SortByFields(std::uint32_t count, const std::uint32_t* fields,
                        const std::int32_t* descending,
                        const std::int32_t* caseInsensitive) override;
  DBResult UseIndex(const char* name) override;
  DBResult GetIndexDescriptor(IndexDescriptor* descriptor) override;
  DBResult GetField(const std::uint8_t* image, std::uint32_t fieldId, void* value,
                    std::uint8_t* nullFlag) override;
  DBResult PutField(std::uint8_t* image, std::uint32_t fieldId, const void* value) override;
  DBResult GetBlobLen(const std::uint8_t* image, std::uint32_t fieldId,
                      std::uint32_t* length) override;
  DBResult GetBlob(const std::uint8_t* image, std::uint32_t fieldId, std::uint32_t offset,
                   std::uint32_t* count, void* bytes) override;
  // Filters (cursor_filter.cpp).
  DBResult AttachFilter(const std::uint8_t* buffer, std::uint32_t size,
                        std::uint32_t* handle) override;
  DBResult DetachFilter(std::uint32_t handle) override;
  DBResult AttachRecordSetFilter(const std::uint64_t* words, std::uint32_t wordCount,
                                 std::uint32_t* handle) override;
  DBResult AttachFilterCallback(void* userData, RecordCallback callback,
                                std::uint32_t* handle) override;

  // --- Engine-internal ---------------------------------------------------
  DSBASE* Table() const { return table_.get(); }
  DSIDX* ActiveIndex() const { return index_; }
  // Makes `index` the active index (taking over one reference the caller
  // holds for the cursor), releases the previous one and returns to
  // `bookmark` in the new order: on its record if still there, else before
  // the first entry. Call under the table's lock.
  void SwitchIndex(DSIDX* index, const EngineBookmark& bookmark);
  // What every operation does first, under the table's lock: runs a
  // rebuild a detach put off (its failure is the operation's), then
  // re-finds the cursor's place (Refind).
  [[nodiscard]] DBResult Resync();
  // Re-reads the range and re-finds the record after the index changed.
  // Call under the table's lock.
  void Refind();

  // --- Filtered order (for the filter evaluation) -----------------------
  // The active index when it is filtered, else null.
  DSIDXFILT* ActiveFilteredIndex() const;
  // Makes the cursor's order filtered: a new filtered index with the
  // active index's descriptor and `filters` as its list, built from the
  // active index (so the records that pass keep exactly the active order).
  // On success it becomes the active index and the plain one is released;
  // the cursor stays on its record if it passes, else goes before the
  // first entry. kNotApplicable when the active index is already filtered
  // (add to its list and call RebuildFilteredIndex instead); on a build
  // failure the active index stays and `filters` is destroyed.
  DBResult FilterActiveIndex(std::unique_ptr<RecordFilter> filters);
  // Rebuilds the active filtered index in place after its list changed
  // (see FilterChange). A list that reports Empty() is removed first (the
  // index then takes every visible record). The cursor stays on its record
  // if it still passes, else goes before the first entry.
  // kNotApplicable when the active index is not filtered.
  DBResult RebuildFilteredIndex(FilterChange change);

 private:
  // Runs `op` under the table's lock after Resync; kNotApplicable on an
  // unopened cursor.
  template <class Op>
  DBResult Locked(Op&& op) {
    if (!table_) return dbr::kNotApplicable;
    std::lock_guard<std::recursive_mutex> guard(table_->Lock());
    if (DBResult r = Resync()) return r;
    return op();
  }
  // The same, except that a rebuild owed since a detach stays owed: for
  // operations that read no entry and whose outcome that rebuild keeps
  // (standing before the first entry; a bookmark, which outlives a rebuild
  // by its record). The next operation that reads the index makes it.
  template <class Op>
  DBResult LockedKeepingOwedRebuild(Op&& op) {
    if (!table_) return dbr::kNotApplicable;
    std::lock_guard<std::recursive_mutex> guard(table_->Lock());
    if (!removedRebuildPending_) Refind();
    return op();
  }
  // The same, on the current record: `op(record)`, or the cursor's status
  // when it stands on none.
  template <class Op>
  DBResult OnRecord(Op&& op) {
    return Locked([&]() -> DBResult {
      if (status_ != dbr::kOk) return status_;
      return op(index_->Entry(pos_));
    });
  }
  // The blob handle of a field of `image` (of the current record when
  // null); 0 when the field is blank or holds no blob.
  DBResult BlobHandle(const std::uint8_t* image, std::uint32_t fieldId, std::uint32_t* handle);
  // Advance without lock and resync.
  DBResult Move(std::int32_t n);
  // GetPosition and GoToPosition without lock and resync.
  EngineBookmark Bookmark() const;
  void ReturnTo(const EngineBookmark& bookmark);
  void Remember();
  void RecomputeRange();
  void SetBeforeFirst();
  void SetAfterLast();
  // Redefines the active (temporary or filtered) index in place with `d`,
  // rebuilds it (from `source` when given) and returns to `bookmark`. On
  // failure the previous definition is restored and rebuilt.
  DBResult RedefineActive(const IndexDescriptor& d, const DSIDX* source,
                          const EngineBookmark& bookmark);
  // Filters (cursor_filter.cpp): adds one entry to the active filtered
  // index's list (making the order filtered first when it is not) and
  // rebuilds; `add` puts the entry into the list.
  DBResult AttachToList(const std::function<DBResult(FilterList&, std::uint32_t*)>& add,
                        std::uint32_t* handle);
  // Runs the rebuild a detach put off (see removedRebuildPending_); still
  // owed when it fails.
  [[nodiscard]] DBResult CompletePendingRebuild();

  EngineRef<DSBASE> table_;
  DSIDX* index_ = nullptr;
  std::uint32_t counterCopy_ = 0;
  std::uint32_t first_ = 1;
  std::uint32_t last_ = 0;
  std::uint32_t pos_ = 0;
  DBResult status_ = dbr::kAtBeginning;
  std::uint32_t record_ = 0;
  // A filter was detached and the index not yet rebuilt without it. The
  // rebuild waits until something looks at the cursor (every operation
  // resyncs first), and an attach, which rebuilds anyway, makes it
  // unnecessary: a search replaces its filter on every keystroke. While it
  // waits, the index and the position still describe the state before the
  // detach, from which the rebuild re-positions exactly as it would have at
  // once.
  bool removedRebuildPending_ = false;
};

}  // namespace dorvem
