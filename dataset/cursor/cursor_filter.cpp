// The cursor's filters: attaching and detaching them rebuilds the active
// index as a filtered index (DSIDXFILT) whose list is a FilterList.
#include <mutex>
#include <new>

#include "dataset/cursor/dscursor.h"
#include "dataset/eval/filter_list.h"
#include "dataset/index/dsidxfilt.h"

namespace dorvem {

namespace {
using Guard = std::lock_guard<std::recursive_mutex>;

FilterList* ListOf(DSIDXFILT* index) {
  return dynamic_cast<FilterList*>(index->Filters());
}
}  // namespace

void DSCursor::CompletePendingRebuild() {
  removedRebuildPending_ = false;
  RebuildFilteredIndex(FilterChange::kRemoved);
}

DBResult DSCursor::AttachToList(const std::function<DBResult(FilterList&, std::uint32_t*)>& add,
                                std::uint32_t* handle) {
  if (!table_) return dbr::kNotApplicable;
  Guard g(table_->Lock());
  // A rebuild without a detached filter is owed; this attach rebuilds anyway.
  const bool owed = removedRebuildPending_;
  removedRebuildPending_ = false;
  Resync();

  DSIDXFILT* filtered = ActiveFilteredIndex();
  if (filtered == nullptr) {
    std::unique_ptr<FilterList> list(new (std::nothrow) FilterList(*table_.get()));
    if (!list) return dbr::kOutOfMemory;
    if (DBResult r = add(*list, handle)) return r;
    return FilterActiveIndex(std::move(list));
  }

  if (filtered->Filters() == nullptr) {
    std::unique_ptr<FilterList> list(new (std::nothrow) FilterList(*table_.get()));
    if (!list) return dbr::kOutOfMemory;
    filtered->SetFilters(std::move(list));
  }
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
    list->Remove(*handle);
    RebuildFilteredIndex(FilterChange::kRemoved);
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

DBResult DSCursor::DetachFilter(std::uint32_t handle) {
  if (!table_) return dbr::kNotApplicable;
  Guard g(table_->Lock());
  // While a rebuild is owed the index has not changed: nothing to resync.
  if (!removedRebuildPending_) Resync();
  DSIDXFILT* filtered = ActiveFilteredIndex();
  if (handle == 0 || filtered == nullptr) return dbr::kOk;
  if (filtered->Filters() == nullptr) return dbr::kNotApplicable;
  FilterList* list = ListOf(filtered);
  if (list == nullptr) return dbr::kNotApplicable;
  if (DBResult r = list->Remove(handle)) return r;
  if (list->Empty()) filtered->TakeFilters();
  removedRebuildPending_ = true;
  return dbr::kOk;
}

}  // namespace dorvem
