// The cursor's choice of order: sort requests by key fields, named indexes,
// and the filtered order the filter evaluation builds through the cursor.
// Every change of order keeps the cursor on its record when that record is
// still in the new order (GetPosition before, GoToPosition after).
#include <mutex>
#include <new>

#include "dataset/cursor/cursor.h"
#include "dataset/index/dsidx.h"
#include "dataset/index/dsidxfilt.h"
#include "dataset/index/index_list.h"

namespace dorvem {

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

// The first plain index of the table (temporary ones included), in
// creation order, whose first `count` key fields equal those of `d`: the
// source a new order can be copied from.
const DSIDX* FindSource(const DSBASE& table, const IndexDescriptor& d, int count) {
  for (const DSIDX* index : IndexesOf(table).All())
    if (index->Kind() == IndexKind::kPlain && LeadingKeysEqual(index->Descriptor(), d, count))
      return index;
  return nullptr;
}

}  // namespace

DBResult DSCursor::GetIndexDescriptor(IndexDescriptor* descriptor) {
  if (!table_) return dbr::kNotApplicable;
  Guard g(table_->Lock());
  *descriptor = index_->Descriptor();
  return dbr::kOk;
}

DBResult DSCursor::RedefineActive(const IndexDescriptor& d, const DSIDX* source,
                                  const EngineBookmark& bookmark) {
  const IndexDescriptor previous = index_->Descriptor();
  if (DBResult r = index_->Define(d)) return r;
  DBResult r = index_->Build(source);
  if (r != dbr::kOk) {
    // Back to the previous order. Its definition was valid before; its
    // rebuild cannot fail where the same descriptor was built before, short
    // of memory, and then the first failure is the one to report.
    IgnoreResult(index_->Define(previous));
    IgnoreResult(index_->Build(FindSource(*table_, previous, previous.fieldCount)));
  }
  Refind();
  ReturnTo(bookmark);
  return r;
}

DBResult DSCursor::SortByFields(std::uint32_t count, const std::uint32_t* fields,
                                const std::int32_t* descending,
                                const std::int32_t* caseInsensitive) {
  if (!table_) return dbr::kNotApplicable;
  Guard g(table_->Lock());
  if (DBResult r = Resync()) return r;
  // The descriptor has room for 16 key fields; longer requests are refused
  // like empty ones.
  if (fields == nullptr || count == 0 || count > kMaxIndexFields) return dbr::kInvalidParameter;
  for (std::uint32_t i = 0; i < count; ++i)
    if (fields[i] == 0 || fields[i] > table_->FieldCount()) return dbr::kInvalidParameter;

  const EngineBookmark bookmark = Bookmark();

  IndexDescriptor d;
  SetIndexName(&d, table_->Field(fields[0]).name);
  d.fieldCount = static_cast<std::int32_t>(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    d.fields[i] = static_cast<std::int32_t>(fields[i]);
    d.descending[i] = descending && descending[i] ? 1 : 0;
    d.caseInsensitive[i] = caseInsensitive && caseInsensitive[i] ? 1 : 0;
  }
  d.uniqueness = kIndexDuplicates;

  // Already ordered so: nothing changes, the cursor does not move.
  if (LeadingKeysEqual(index_->Descriptor(), d, d.fieldCount)) return dbr::kOk;

  const DSIDX* source = FindSource(*table_, d, d.fieldCount);
  if (index_->Temporary() || index_->Kind() == IndexKind::kFiltered)
    return RedefineActive(d, source, bookmark);

  auto* fresh = new (std::nothrow) DSIDX(table_.get(), IndexKind::kPlain);
  if (fresh == nullptr) return dbr::kOutOfMemory;
  DBResult r = fresh->Define(d);
  if (r == dbr::kOk) r = fresh->Build(source);
  if (r != dbr::kOk) {
    delete fresh;
    return r;
  }
  fresh->SetTemporary(true);
  IndexesOf(*table_).Register(fresh);
  SwitchIndex(fresh, bookmark);
  return dbr::kOk;
}

DBResult DSCursor::UseIndex(const char* name) {
  if (!table_) return dbr::kNotApplicable;
  Guard g(table_->Lock());
  if (DBResult r = Resync()) return r;
  DSIDX* found =
      IndexesOf(*table_).FindNamed(name == nullptr || *name == 0 ? kDefaultOrderName : name);
  if (found == nullptr) return dbr::kIndexNotFound;
  if (found == index_) return dbr::kOk;
  const EngineBookmark bookmark = Bookmark();
  if (index_->Kind() == IndexKind::kFiltered)
    return RedefineActive(found->Descriptor(), found, bookmark);
  found->AddRef();
  SwitchIndex(found, bookmark);
  return dbr::kOk;
}

DSIDXFILT* DSCursor::ActiveFilteredIndex() const {
  return index_ && index_->Kind() == IndexKind::kFiltered ? static_cast<DSIDXFILT*>(index_)
                                                          : nullptr;
}

DBResult DSCursor::FilterActiveIndex(std::unique_ptr<RecordFilter> filters) {
  if (!table_) return dbr::kNotApplicable;
  Guard g(table_->Lock());
  if (DBResult r = Resync()) return r;
  if (ActiveFilteredIndex() != nullptr) return dbr::kNotApplicable;
  const EngineBookmark bookmark = Bookmark();
  auto* filtered = new (std::nothrow) DSIDXFILT(table_.get());
  if (filtered == nullptr) return dbr::kOutOfMemory;
  filtered->SetFilters(std::move(filters));
  DBResult r = filtered->Define(index_->Descriptor());
  if (r == dbr::kOk) r = filtered->Build(index_);
  if (r != dbr::kOk) {
    delete filtered;
    return r;
  }
  IndexesOf(*table_).Register(filtered);
  SwitchIndex(filtered, bookmark);
  return dbr::kOk;
}

DBResult DSCursor::RebuildFilteredIndex(FilterChange change) {
  if (!table_) return dbr::kNotApplicable;
  Guard g(table_->Lock());
  if (DBResult r = Resync()) return r;
  DSIDXFILT* filtered = ActiveFilteredIndex();
  if (filtered == nullptr) return dbr::kNotApplicable;
  if (filtered->Filters() != nullptr && filtered->Filters()->Empty()) filtered->TakeFilters();
  const EngineBookmark bookmark = Bookmark();
  const IndexDescriptor& d = filtered->Descriptor();
  const DSIDX* source =
      change == FilterChange::kRemoved ? FindSource(*table_, d, d.fieldCount) : nullptr;
  const DBResult r = filtered->Build(source);
  Refind();
  ReturnTo(bookmark);
  return r;
}

}  // namespace dorvem
