// The cursor's filters: attaching and detaching them rebuilds the active
// index as a filtered index (DSIDXFILT) whose list is a FilterList.
#include <mutex>
#include <new>

#include "dataset/core/alloc_guard.h"
#include "dataset/cursor/cursor.h"
#include "dataset/eval/filter_list.h"
#include "dataset/index/dsidxfilt.h"

namespace dorvem {

namespace {
using Guard = std::lock_guard<std::recursive_mutex>;

FilterList* ListOf(DSIDXFILT* index) {
  return dynamic_cast<FilterList*>(index->Filters());
}
}  // namespace

DBResult DSCursor::CompletePendingRebuild() {
  removedRebuildPending_ = false;
  const DBResult r = RebuildFilteredIndex(FilterChange::kRemoved);
  // A rebuild that failed is still owed: the next operation tries again
  // rather than walk an index whose entries are incomplete.
  if (r != dbr::kOk) removedRebuildPending_ = true;
  return r;
}

DBResult DSCursor::AttachToList(const std::function<DBResult(FilterList&, std::uint32_t*)>& add,
                                std::uint32_t* handle) {
  if (!table_) return dbr::kNotApplicable;
  Guard g(table_->Lock());
  // A rebuild without a detached filter is owed; this attach rebuilds anyway.
  const bool owed = removedRebuildPending_;
  removedRebuildPending_ = false;
  Refind();

  DSIDXFILT* filtered = ActiveFilteredIndex();
  if (filtered == nullptr) {
    std::unique_ptr<FilterList> list;
    if (DBResult r = GuardAllocation([&] { list = std::make_unique<FilterList>(*table_); }))
      return r;
    if (DBResult r = add(*list, handle)) return r;
    return FilterActiveIndex(std::move(list));
  }

  if (filtered->Filters() == nullptr)
    if (DBResult r =
            GuardAllocation([&] { filtered->SetFilters(std::make_unique<FilterList>(*table_)); }))
      return r;
  FilterList* list = ListOf(filtered);
  DBResult r = list == nullptr ? dbr::kNotApplicable : add(*list, handle);
  if (r != dbr::kOk) {
    // The index stays as it was, owing what it owed.
    if (filtered->Filters()->Empty()) filtered->TakeFilters();
    removedRebuildPending_ = owed;
    return r;
  }
  r = RebuildFilteredIndex(FilterChange::kAdded);
  if (r != dbr::kOk) {
    // Back to the list without the new filter: its handle was just given,
    // so removing it cannot fail. A rebuild that fails here is owed, and
    // the next operation tries it again.
    IgnoreResult(list->Remove(*handle));
    if (RebuildFilteredIndex(FilterChange::kRemoved) != dbr::kOk) removedRebuildPending_ = true;
  }
  return r;
}

DBResult DSCursor::AttachFilter(const std::uint8_t* buffer, std::uint32_t size,
                                std::uint32_t* handle) {
  if (buffer == nullptr || handle == nullptr) return dbr::kInvalidParameter;
  return AttachToList(
      [&](FilterList& list, std::uint32_t* h) { return list.AddExpression(buffer, size, h); },
      handle);
}

DBResult DSCursor::AttachFilterCallback(void* userData, RecordCallback callback,
                                        std::uint32_t* handle) {
  if (callback == nullptr || handle == nullptr) return dbr::kInvalidParameter;
  return AttachToList(
      [&](FilterList& list, std::uint32_t* h) { return list.AddCallback(userData, callback, h); },
      handle);
}

DBResult DSCursor::AttachRecordSetFilter(const std::uint64_t* words, std::uint32_t wordCount,
                                         std::uint32_t* handle) {
  if ((words == nullptr && wordCount != 0) || handle == nullptr) return dbr::kInvalidParameter;
  return AttachToList(
      [&](FilterList& list, std::uint32_t* h) { return list.AddRecordSet(words, wordCount, h); },
      handle);
}

DBResult DSCursor::DetachFilter(std::uint32_t handle) {
  // While a rebuild is owed the index has not changed: nothing to resync.
  return LockedKeepingOwedRebuild([&] {
    DSIDXFILT* filtered = ActiveFilteredIndex();
    if (handle == 0 || filtered == nullptr) return dbr::kOk;
    if (filtered->Filters() == nullptr) return dbr::kNotApplicable;
    FilterList* list = ListOf(filtered);
    if (list == nullptr) return dbr::kNotApplicable;
    if (DBResult r = list->Remove(handle)) return r;
    if (list->Empty()) filtered->TakeFilters();
    removedRebuildPending_ = true;
    return dbr::kOk;
  });
}

}  // namespace dorvem
